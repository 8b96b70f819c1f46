#include "osql/ScriptSplitter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace zobran::osql {

namespace {

// Letters, digits, _, @, #, $ and every byte of a non-ASCII character make up words.
constexpr std::array<bool, 256> WordBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_' || c == '@' || c == '#' || c == '$' || c >= 0x80;
    return table;
}();

inline bool isWordByte(unsigned char c)
{
    return WordBytes[c];
}

bool isBlank(int c)
{
    return c == ' ' || c == '\t';
}

char upper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
}

} // namespace

ScriptSplitter::ScriptSplitter(ByteSource& source, Mode mode, ScriptPosition start, std::size_t chunkBytes)
    : source_(source),
      mode_(mode),
      chunkBytes_(std::max<std::size_t>(chunkBytes, 1)),
      bufferOffset_(start.offset),
      line_(start.line),
      batchStart_(start)
{
}

// ---- the buffer ----

// Keeps the piece in hand (or, without one, what is not scanned yet), adds the next chunk.
bool ScriptSplitter::refill()
{
    if (sourceEnded_)
        return false;
    const std::size_t keep = pieceOpen_ ? pieceStart_ : pos_;
    if (keep > 0) {
        std::memmove(buffer_.data(), buffer_.data() + keep, end_ - keep);
        end_ -= keep;
        pos_ -= keep;
        if (pieceOpen_) {
            pieceStart_ -= keep;
            lastSignificantEnd_ -= keep;
        }
        bufferOffset_ += static_cast<std::int64_t>(keep);
    }
    if (buffer_.size() - end_ < chunkBytes_)
        buffer_.resize(std::max(buffer_.size() * 2, end_ + chunkBytes_));
    // Another splitter may have read the same source since (a repeated batch): say where to go on.
    source_.seek(bufferOffset_ + static_cast<std::int64_t>(end_));
    const std::size_t got = source_.read(buffer_.data() + end_, std::min(chunkBytes_, buffer_.size() - end_));
    if (got == 0) {
        sourceEnded_ = true;
        return false;
    }
    end_ += got;
    return true;
}

// The byte `ahead` places after the one being scanned, or -1 beyond the end of the script.
int ScriptSplitter::byteAt(std::size_t ahead)
{
    while (pos_ + ahead >= end_) {
        if (!refill())
            return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_ + ahead]);
}

// At a CR or LF: one line end, a CR LF pair taken together.
void ScriptSplitter::consumeLineEnd()
{
    if (buffer_[pos_] == '\r' && byteAt(1) == '\n')
        ++pos_;
    ++pos_;
    ++line_;
}

// ---- pieces ----

void ScriptSplitter::openPiece()
{
    pieceOpen_ = true;
    pieceStart_ = pos_;
    lastSignificantEnd_ = pos_;
    pieceLine_ = line_;
}

// Hands out the piece in hand when it holds more than comments, and starts a new one.
bool ScriptSplitter::takeText(ScriptPiece& piece)
{
    const bool hasText = pieceOpen_ && pieceHasCode_;
    if (hasText) {
        piece.kind = ScriptPiece::Kind::Text;
        piece.text
            = QByteArrayView(buffer_.data() + pieceStart_, static_cast<qsizetype>(lastSignificantEnd_ - pieceStart_));
        piece.line = pieceLine_;
        batchHasText_ = true;
    }
    resetStatement();
    return hasText;
}

void ScriptSplitter::resetStatement()
{
    pieceOpen_ = false;
    pieceHasCode_ = false;
    words_.reset();
    inWord_ = false;
}

bool ScriptSplitter::next(ScriptPiece& piece)
{
    if (pendingBatchEnd_) {
        pendingBatchEnd_ = false;
        piece = batchEnd_;
        return true;
    }
    if (finished_)
        return false;
    for (;;) {
        if (pos_ == end_ && !refill())
            return finishAtEnd(piece);
        switch (lex_) {
        case Lex::SingleQuote:
            scanQuoted('\'');
            continue;
        case Lex::DoubleQuote:
            scanQuoted('"');
            continue;
        case Lex::Bracket:
            scanQuoted(']');
            continue;
        case Lex::BlockComment:
            scanBlockComment();
            continue;
        case Lex::LineComment:
            scanLineComment();
            continue;
        case Lex::Code:
            break;
        }
        if (atLineStart_) {
            atLineStart_ = false;
            if (atStartOfLine(piece))
                return true;
            continue;
        }
        const auto c = static_cast<unsigned char>(buffer_[pos_]);
        if (isWordByte(c)) {
            // The whole run of word bytes the buffer holds, in one go.
            const char* const data = buffer_.data();
            std::size_t run = pos_;
            while (run < end_ && isWordByte(static_cast<unsigned char>(data[run])))
                ++run;
            if (mode_ == Mode::Statements) {
                if (!inWord_) {
                    inWord_ = true;
                    wordLength_ = 0;
                }
                // Only the first bytes are kept; a longer word is none of those looked for.
                for (std::size_t i = pos_; i < run && wordLength_ < static_cast<int>(sizeof word_); ++i)
                    word_[wordLength_++] = upper(static_cast<unsigned char>(data[i]));
            }
            markCode();
            lastSignificantEnd_ = run;
            pos_ = run;
            continue;
        }
        endWord();
        switch (c) {
        case ' ':
        case '\t':
        case '\f':
        case '\v':
            ++pos_;
            continue;
        case '\r':
        case '\n':
            consumeLineEnd();
            atLineStart_ = true;
            continue;
        case '\'':
        case '"':
        case '[':
            markCode();
            words_.symbol(static_cast<char>(c));
            lex_ = c == '\'' ? Lex::SingleQuote : c == '"' ? Lex::DoubleQuote : Lex::Bracket;
            ++pos_;
            continue;
        case '-':
        case '/':
            if (byteAt(1) == (c == '-' ? '-' : '*')) {
                if (!pieceOpen_)
                    openPiece();
                lex_ = c == '-' ? Lex::LineComment : Lex::BlockComment;
                commentDepth_ = 1;
                pos_ += 2;
                continue;
            }
            break;
        case ';':
            if (mode_ == Mode::Statements) {
                const bool hasText = takeText(piece);
                ++pos_;
                if (hasText)
                    return true;
                continue;
            }
            break;
        default:
            break;
        }
        markCode();
        words_.symbol(static_cast<char>(c));
        ++pos_;
    }
}

// The end of the script ends the last batch.
bool ScriptSplitter::finishAtEnd(ScriptPiece& piece)
{
    endWord();
    if (lex_ != Lex::Code && lex_ != Lex::LineComment && pieceOpen_) {
        // Something left open runs to the end: the server is to say so.
        pieceHasCode_ = true;
        lastSignificantEnd_ = end_;
    }
    finished_ = true;
    const bool hasText = takeText(piece);
    if (batchHasText_) {
        batchEnd_ = ScriptPiece{ScriptPiece::Kind::BatchEnd, {}, line_, 1, batchStart_};
        if (hasText) {
            pendingBatchEnd_ = true;
        } else {
            piece = batchEnd_;
        }
        return true;
    }
    return hasText;
}

// ---- the start of a line: GO, or a statement's first word ----

bool ScriptSplitter::atStartOfLine(ScriptPiece& piece)
{
    std::size_t first = 0;
    while (isBlank(byteAt(first)))
        ++first;
    int count = 1;
    std::size_t lineLength = 0;
    if (isGoLine(first, count, lineLength)) {
        const bool hasText = takeText(piece);
        const bool batchEnds = batchHasText_;
        batchEnd_ = ScriptPiece{ScriptPiece::Kind::BatchEnd, {}, line_, count, batchStart_};
        pos_ += lineLength;
        if (lineLength > 0 && (buffer_[pos_ - 1] == '\n' || buffer_[pos_ - 1] == '\r'))
            ++line_;
        atLineStart_ = true;
        batchStart_ = ScriptPosition{bufferOffset_ + static_cast<std::int64_t>(pos_), line_};
        batchHasText_ = false;
        if (hasText) {
            pendingBatchEnd_ = true;
            return true;
        }
        if (batchEnds) {
            piece = batchEnd_;
            return true;
        }
        return false;
    }
    if (mode_ == Mode::Statements && pieceOpen_ && pieceHasCode_ && startsStatementHere(first))
        return takeText(piece);
    return false;
}

// Whether the line from `from` on reads GO [count] [comments]; lineLength is then the length of
// the whole line with its line end, counted from the scan position.
bool ScriptSplitter::isGoLine(std::size_t from, int& count, std::size_t& lineLength)
{
    if ((byteAt(from) | 0x20) != 'g' || (byteAt(from + 1) | 0x20) != 'o')
        return false;
    std::size_t at = from + 2;
    auto skipBlanks = [&] {
        const std::size_t before = at;
        while (isBlank(byteAt(at)))
            ++at;
        return at > before;
    };
    const int afterGo = byteAt(at);
    if (afterGo >= 0 && isWordByte(static_cast<unsigned char>(afterGo)))
        return false;
    count = 1;
    if (skipBlanks() && byteAt(at) >= '0' && byteAt(at) <= '9') {
        long long value = 0;
        while (byteAt(at) >= '0' && byteAt(at) <= '9') {
            value = value * 10 + (byteAt(at) - '0');
            if (value > 0x7FFFFFFF)
                return false;
            ++at;
        }
        const int afterCount = byteAt(at);
        if (value == 0 || (afterCount >= 0 && isWordByte(static_cast<unsigned char>(afterCount))))
            return false;
        count = static_cast<int>(value);
        skipBlanks();
    }
    // Only comments may follow, and a block comment must end on this line.
    for (;;) {
        const int c = byteAt(at);
        if (c < 0 || c == '\r' || c == '\n')
            break;
        if (c == '-' && byteAt(at + 1) == '-') {
            while (byteAt(at) >= 0 && byteAt(at) != '\r' && byteAt(at) != '\n')
                ++at;
            break;
        }
        if (c != '/' || byteAt(at + 1) != '*')
            return false;
        at += 2;
        for (int depth = 1; depth > 0;) {
            const int d = byteAt(at);
            if (d < 0 || d == '\r' || d == '\n')
                return false;
            if (d == '/' && byteAt(at + 1) == '*') {
                ++depth;
                at += 2;
            } else if (d == '*' && byteAt(at + 1) == '/') {
                --depth;
                at += 2;
            } else {
                ++at;
            }
        }
        skipBlanks();
    }
    if (byteAt(at) == '\r')
        at += byteAt(at + 1) == '\n' ? 2 : 1;
    else if (byteAt(at) == '\n')
        ++at;
    lineLength = at;
    return true;
}

// Whether the word at `from` starts a statement that cannot belong to the one in hand.
bool ScriptSplitter::startsStatementHere(std::size_t from)
{
    char text[StatementWords::LongestWord + 1];
    std::size_t length = 0;
    for (;; ++length) {
        const int c = byteAt(from + length);
        if (c < 0 || !isWordByte(static_cast<unsigned char>(c)))
            break;
        if (length == StatementWords::LongestWord)
            return false; // longer than any word that starts one
        text[length] = upper(static_cast<unsigned char>(c));
    }
    return words_.startsStatement(std::string_view(text, length));
}

// A word of the statement in hand ended: what it tells goes to the statement-word rules.
void ScriptSplitter::endWord()
{
    if (!inWord_)
        return;
    inWord_ = false;
    words_.word(std::string_view(word_, static_cast<std::size_t>(wordLength_)));
}

// ---- inside quotes and comments ----

// Up to the closing character; a doubled one stands for itself.
void ScriptSplitter::scanQuoted(char close)
{
    while (pos_ < end_) {
        // Straight to the next byte that matters.
        const char* const data = buffer_.data();
        std::size_t at = pos_;
        while (at < end_ && data[at] != close && data[at] != '\r' && data[at] != '\n')
            ++at;
        pos_ = at;
        if (at == end_)
            return;
        if (data[at] != close) {
            consumeLineEnd();
            continue;
        }
        if (byteAt(1) == close) {
            pos_ += 2;
            continue;
        }
        ++pos_;
        lex_ = Lex::Code;
        lastSignificantEnd_ = pos_;
        return;
    }
}

void ScriptSplitter::scanBlockComment()
{
    while (pos_ < end_) {
        const char c = buffer_[pos_];
        if (c == '/' && byteAt(1) == '*') {
            ++commentDepth_;
            pos_ += 2;
        } else if (c == '*' && byteAt(1) == '/') {
            pos_ += 2;
            if (--commentDepth_ == 0) {
                lex_ = Lex::Code;
                lastSignificantEnd_ = pos_;
                return;
            }
        } else if (c == '\r' || c == '\n') {
            consumeLineEnd();
        } else {
            ++pos_;
        }
    }
}

// Up to the line end, which the code after it handles.
void ScriptSplitter::scanLineComment()
{
    while (pos_ < end_) {
        const char c = buffer_[pos_];
        if (c == '\r' || c == '\n') {
            lex_ = Lex::Code;
            lastSignificantEnd_ = pos_;
            return;
        }
        ++pos_;
    }
}

} // namespace zobran::osql
