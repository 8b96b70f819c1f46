#include "generate/LineCutter.h"

namespace zobran {

namespace {

constexpr bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset after `characters` code points from `from`, or the end of text.
std::size_t advanceCharacters(std::string_view text, std::size_t from, std::size_t characters)
{
    std::size_t i = from;
    std::size_t counted = 0;
    while (i < text.size()) {
        if (!isContinuationByte(text[i])) {
            if (counted == characters)
                return i;
            ++counted;
        }
        ++i;
    }
    return text.size();
}

std::size_t previousBoundary(std::string_view text, std::size_t from, std::size_t floor)
{
    std::size_t i = from;
    do
        --i;
    while (i > floor && isContinuationByte(text[i]));
    return i;
}

// A KX line may end before `at` so that every KX reader joins the pieces back exactly: the next
// line begins with neither "<" (a reader would start a statement there) nor a blank (a reader that
// drops the blanks at the start of a line would lose it), and this one does not end with ">" (a
// reader would end the statement there).
bool isCleanBracketedCut(std::string_view text, std::size_t at)
{
    return text[at - 1] != '>' && text[at] != '<' && text[at] != ' ';
}

// The latest point in (start, end] where a KX line may end for a reader that keeps the blanks at the
// start of a line: this one does not end with ">" and the next one does not begin with "<" after
// any blanks. Blanks running past the next line's end are judged as if the line went on, which
// never calls a cut safe that is not. Returns start when there is none.
std::size_t latestBlankKeepingCut(std::string_view text, std::size_t start, std::size_t end)
{
    std::size_t firstOther = text.find_first_not_of(' ', end); // first character after the cut that is no blank
    for (std::size_t cut = end; cut > start; cut = previousBoundary(text, cut, start)) {
        if (text[cut] != ' ')
            firstOther = cut;
        if (text[cut - 1] != '>' && (firstOther == std::string_view::npos || text[firstOther] != '<'))
            return cut;
    }
    return start;
}

} // namespace

std::size_t utf8Length(std::string_view text)
{
    std::size_t n = 0;
    for (const char c : text)
        n += isContinuationByte(c) ? 0 : 1;
    return n;
}

const std::vector<std::string_view>& LineCutter::cut(std::string_view statement)
{
    lines_.clear();
    if (statement.size() <= MaxLineChars) {
        lines_.push_back(statement);
        return lines_;
    }
    const std::size_t characters = utf8Length(statement);
    if (characters <= MaxLineChars)
        lines_.push_back(statement);
    else if (isBracketed(kind_))
        cutBracketed(statement);
    else
        cutPlain(statement, characters);
    return lines_;
}

void LineCutter::cutBracketed(std::string_view s)
{
    bool restorable = true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = advanceCharacters(s, start, MaxLineChars);
        if (end == s.size()) {
            lines_.push_back(s.substr(start));
            break;
        }
        std::size_t cut = end;
        while (cut > start && !isCleanBracketedCut(s, cut))
            cut = previousBoundary(s, cut, start);
        if (cut == start) {
            // A run of blanks or brackets longer than a line: cut inside the blanks where the program's
            // reader still joins the pieces back, else where the line is full.
            restorable = false;
            cut = latestBlankKeepingCut(s, start, end);
            if (cut == start)
                cut = end;
        }
        lines_.push_back(s.substr(start, cut - start));
        start = cut;
    }
    if (!restorable)
        ++statementsNotRestorable_;
}

void LineCutter::collectPlainCutPoints(std::string_view s)
{
    enum class Inside { Nothing, Quote, Bracket, DoubleQuote };
    Inside inside = Inside::Nothing;
    points_.clear();
    std::size_t character = 0;
    const auto addPoint = [this, &s](std::size_t ch, std::size_t byte) {
        if (byte == 0 || byte >= s.size())
            return;
        if (!points_.empty() && points_.back().byte == byte)
            return;
        points_.push_back({ch, byte});
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (isContinuationByte(c))
            continue;
        switch (inside) {
        case Inside::Nothing:
            if (c == ' ')
                addPoint(character, i);
            else if (c == ',')
                addPoint(character + 1, i + 1);
            else if (c == '\'')
                inside = Inside::Quote;
            else if (c == '[')
                inside = Inside::Bracket;
            else if (c == '"')
                inside = Inside::DoubleQuote;
            break;
        case Inside::Quote:
            // A doubled apostrophe leaves and re-enters at once; no cut point lies between.
            if (c == '\'')
                inside = Inside::Nothing;
            break;
        case Inside::DoubleQuote:
            if (c == '"')
                inside = Inside::Nothing;
            break;
        case Inside::Bracket:
            if (c == ']') {
                if (i + 1 < s.size() && s[i + 1] == ']') {
                    ++i; // "]]" stands for "]" inside the name
                    ++character;
                } else {
                    inside = Inside::Nothing;
                }
            }
            break;
        }
        ++character;
    }
}

void LineCutter::cutPlain(std::string_view s, std::size_t characters)
{
    collectPlainCutPoints(s);
    std::size_t startCharacter = 0;
    std::size_t startByte = 0;
    std::size_t next = 0; // first cut point after the line start
    while (characters - startCharacter > MaxLineChars) {
        while (next < points_.size() && points_[next].character <= startCharacter)
            ++next;
        if (next == points_.size())
            break;
        std::size_t chosen = next;
        if (points_[next].character - startCharacter <= MaxLineChars) {
            while (chosen + 1 < points_.size() && points_[chosen + 1].character - startCharacter <= MaxLineChars)
                ++chosen;
        }
        const CutPoint& point = points_[chosen];
        lines_.push_back(s.substr(startByte, point.byte - startByte));
        startCharacter = point.character;
        startByte = point.byte;
        next = chosen + 1;
    }
    lines_.push_back(s.substr(startByte));
}

} // namespace zobran
