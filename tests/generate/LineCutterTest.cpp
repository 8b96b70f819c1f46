#include "generate/LineCutter.h"
#include "import/KxStatementReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace zobran;

namespace {

std::vector<std::string> cutInto(LineCutter& cutter, const std::string& statement)
{
    std::vector<std::string> lines;
    for (const std::string_view line : cutter.cut(statement))
        lines.emplace_back(line);
    return lines;
}

std::vector<std::size_t> lengthsOf(const std::vector<std::string>& lines)
{
    std::vector<std::size_t> lengths;
    for (const auto& line : lines)
        lengths.push_back(utf8Length(line));
    return lengths;
}

std::string join(const std::vector<std::string>& lines)
{
    std::string all;
    for (const auto& line : lines)
        all += line;
    return all;
}

std::string repeat(std::string_view unit, std::size_t times)
{
    std::string s;
    for (std::size_t i = 0; i < times; ++i)
        s += unit;
    return s;
}

bool startsInsideUtf8Sequence(const std::string& line)
{
    return !line.empty() && (static_cast<unsigned char>(line.front()) & 0xC0) == 0x80;
}

// The two rules KX files are read by: the program's reader keeps the blanks at the start of a line,
// other readers drop them before anything else.
enum class LeadingBlanks { Kept, Dropped };

// Feeds the lines to a KX reader; every statement it hands out.
std::vector<std::string> readBack(const std::vector<std::string>& lines, LeadingBlanks rule = LeadingBlanks::Kept)
{
    KxStatementReader reader;
    std::vector<std::string> statements;
    for (const auto& line : lines) {
        std::string_view piece = line;
        if (rule == LeadingBlanks::Dropped)
            piece.remove_prefix(std::min(piece.find_first_not_of(' '), piece.size()));
        if (const QString* statement = reader.feedLine(QString::fromUtf8(piece.data(), qsizetype(piece.size()))))
            statements.push_back(statement->toStdString());
    }
    EXPECT_FALSE(reader.hasUnfinishedStatement());
    return statements;
}

// Code points of UTF-8 text, each as its own string.
std::vector<std::string> characters(const std::string& s)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            out.back() += s[i];
        else
            out.emplace_back(1, s[i]);
    }
    return out;
}

// Random text that crowds the characters the cutters must look out for.
class StatementMaker {
public:
    explicit StatementMaker(unsigned seed) : random_(seed) {}

    std::string value()
    {
        static const std::vector<std::string> pieces = {"x", "x", "x",  "<",  ">", " ",   "'",   ",",   "é",  "€",
                                                        "😀", "[", "\"", "\n", "0", "<<<", ">>>", "   ", ",,", "''"};
        const std::size_t length = pick(0, 400);
        std::string text;
        while (utf8Length(text) < length)
            text += pieces[pick(0, pieces.size() - 1)];
        return text;
    }

    // An INSERT statement of the given kind with quoted, doubled-quote values and plain numbers.
    std::string statement(ScriptKind kind)
    {
        const std::size_t columns = pick(1, 14);
        std::string names, values;
        for (std::size_t c = 0; c < columns; ++c) {
            names += (c ? "," : "") + std::string("col") + std::to_string(c);
            values += c ? "," : "";
            if (pick(0, 4) == 0) {
                values += std::to_string(pick(0, 1000000));
            } else {
                std::string v = value(), quoted = "'";
                for (const char ch : v)
                    quoted += ch == '\'' ? std::string("''") : std::string(1, ch);
                values += quoted + "'";
            }
        }
        const std::string body = "INSERT INTO tbl (" + names + ") VALUES(" + values + ")";
        return kind == ScriptKind::Kx ? "<" + body + ">" : body;
    }

    std::size_t pick(std::size_t low, std::size_t high)
    {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

private:
    std::mt19937 random_;
};

} // namespace

TEST(LineCutter, KxStatementsAreCutEveryThousandCharacters)
{
    LineCutter cutter(ScriptKind::Kx);
    const auto lengthsFor = [&](std::size_t total, std::string_view filler) {
        const std::string statement = "<" + repeat(filler, total - 2) + ">";
        const auto lines = cutInto(cutter, statement);
        EXPECT_EQ(join(lines), statement);
        return lengthsOf(lines);
    };
    using L = std::vector<std::size_t>;
    EXPECT_EQ(lengthsFor(1000, "x"), L({1000}));
    EXPECT_EQ(lengthsFor(1001, "x"), L({1000, 1}));
    EXPECT_EQ(lengthsFor(2000, "x"), L({1000, 1000}));
    EXPECT_EQ(lengthsFor(2500, "x"), L({1000, 1000, 500}));
    // Characters, not bytes: the same cuts with a three-byte character.
    EXPECT_EQ(lengthsFor(1000, "€"), L({1000}));
    EXPECT_EQ(lengthsFor(2500, "€"), L({1000, 1000, 500}));
    EXPECT_EQ(cutter.statementsNotRestorable(), 0);
}

TEST(LineCutter, KxCutMovesEarlierBeforeBracketsAndBlanks)
{
    LineCutter cutter(ScriptKind::Kx);
    // Character 1001 is "<": the first line may not end right before it.
    std::string statement = "<" + repeat("x", 999) + "<" + repeat("x", 500) + ">";
    auto lines = cutInto(cutter, statement);
    EXPECT_EQ(lengthsOf(lines), (std::vector<std::size_t>{999, 503}));
    // Character 1000 is ">": the line may not end with it, the next one begins with it.
    statement = "<" + repeat("x", 998) + ">" + repeat("x", 500) + ">";
    lines = cutInto(cutter, statement);
    EXPECT_EQ(lengthsOf(lines), (std::vector<std::size_t>{999, 502}));
    EXPECT_EQ(lines[1].substr(0, 1), ">");
    // A run of blanks across the cut point: the next line starts after the run, so no reader can
    // lose its blanks; nor blanks and then "<", which would open a statement.
    for (const std::string after : {"x", "<"}) {
        statement = "<" + repeat("x", 990) + repeat(" ", 20) + after + repeat("x", 500) + ">";
        lines = cutInto(cutter, statement);
        EXPECT_EQ(lengthsOf(lines), (std::vector<std::size_t>{990, 523})) << after;
        EXPECT_EQ(lines[1].substr(0, 1), "x");
        for (const auto rule : {LeadingBlanks::Kept, LeadingBlanks::Dropped})
            EXPECT_EQ(readBack(lines, rule), std::vector<std::string>{statement.substr(1, statement.size() - 2)});
    }
    EXPECT_EQ(cutter.statementsNotRestorable(), 0);
}

TEST(LineCutter, KxRunsOfBlanksLongerThanALineComeBackThroughTheProgramsReader)
{
    // No line can hold the run with something else in front: it is cut inside the blanks, where a
    // reader that drops the blanks at the start of a line loses some, and counted.
    const std::string statement = "<INSERT INTO t (a) VALUES('" + repeat(" ", 3000) + "end <x>')>";
    LineCutter cutter(ScriptKind::Kx);
    const auto lines = cutInto(cutter, statement);
    for (const auto length : lengthsOf(lines))
        EXPECT_LE(length, MaxLineChars);
    EXPECT_EQ(readBack(lines), std::vector<std::string>{statement.substr(1, statement.size() - 2)});
    EXPECT_EQ(cutter.statementsNotRestorable(), 1);
}

TEST(LineCutter, KxValuesWithRunsOfBlanksReadBackAlikeUnderBothRules)
{
    // Runs of blanks of up to nearly a line's length among brackets and multibyte text, meeting every
    // cut point. Each run ends before a piece that a line may begin with, as in text of words.
    const std::vector<std::string> pieces = {"x", "é", "x<", "x>", "''", ",", "€x", "x> <", "x<<>", ">"};
    StatementMaker maker(400);
    LineCutter cutter(ScriptKind::Kx);
    std::size_t multiLine = 0;
    for (int n = 0; n < 400; ++n) {
        std::string value;
        const std::size_t length = maker.pick(0, 4000);
        while (value.size() < length) {
            value += pieces[maker.pick(0, pieces.size() - 1)];
            if (maker.pick(0, 2) == 0)
                value += repeat(" ", maker.pick(1, MaxLineChars - 10));
        }
        const std::string statement = "<INSERT INTO t (id,note) VALUES(" + std::to_string(n) + ",'" + value + "')>";
        const auto lines = cutInto(cutter, statement);
        multiLine += lines.size() > 1;
        const std::vector<std::string> expected{statement.substr(1, statement.size() - 2)};
        ASSERT_EQ(readBack(lines, LeadingBlanks::Kept), expected) << "statement " << n;
        ASSERT_EQ(readBack(lines, LeadingBlanks::Dropped), expected) << "statement " << n;
    }
    EXPECT_GT(multiLine, 300u);
    EXPECT_EQ(cutter.statementsNotRestorable(), 0);
}

TEST(LineCutter, KxCutRightAfterTheOpeningBracket)
{
    // The only safe point within the first thousand characters lies right after the "<".
    const std::string statement = "<" + repeat(">", 999) + "zz" + repeat("y", 300) + ">";
    LineCutter cutter(ScriptKind::Kx);
    const auto lines = cutInto(cutter, statement);
    EXPECT_EQ(join(lines), statement);
    EXPECT_EQ(lines.front(), "<");
    EXPECT_EQ(readBack(lines), std::vector<std::string>{statement.substr(1, statement.size() - 2)});
}

TEST(LineCutter, KxRunsOfBracketsLongerThanALineFallBackAndAreCounted)
{
    const std::string statement = "<INSERT INTO t (a) VALUES('" + repeat("<", 1500) + "')>";
    LineCutter cutter(ScriptKind::Kx);
    const auto lines = cutInto(cutter, statement);
    EXPECT_EQ(join(lines), statement);
    for (const auto length : lengthsOf(lines))
        EXPECT_LE(length, MaxLineChars);
    EXPECT_EQ(cutter.statementsNotRestorable(), 1);
}

TEST(LineCutter, RandomKxStatementsReadBackExactly)
{
    StatementMaker maker(20240611);
    LineCutter cutter(ScriptKind::Kx);
    std::size_t multiLine = 0;
    for (int n = 0; n < 3000; ++n) {
        const std::string statement = maker.statement(ScriptKind::Kx);
        const auto lines = cutInto(cutter, statement);
        ASSERT_EQ(join(lines), statement);
        multiLine += lines.size() > 1;
        for (const auto& line : lines) {
            ASSERT_LE(utf8Length(line), MaxLineChars);
            ASSERT_FALSE(startsInsideUtf8Sequence(line));
        }
        const std::vector<std::string> expected{statement.substr(1, statement.size() - 2)};
        ASSERT_EQ(readBack(lines, LeadingBlanks::Kept), expected) << "statement " << n;
        ASSERT_EQ(readBack(lines, LeadingBlanks::Dropped), expected) << "statement " << n;
    }
    EXPECT_GT(multiLine, 1000u) << "the sample should exercise the cutting";
    EXPECT_EQ(cutter.statementsNotRestorable(), 0);
}

TEST(LineCutter, SqlLinesBreakOnlyOutsideQuotesAfterCommasOrBeforeBlanks)
{
    StatementMaker maker(77);
    LineCutter cutter(ScriptKind::Sql);
    std::size_t multiLine = 0;
    for (int n = 0; n < 3000; ++n) {
        const std::string statement = maker.statement(ScriptKind::Sql);
        const auto lines = cutInto(cutter, statement);
        ASSERT_EQ(join(lines), statement);
        multiLine += lines.size() > 1;

        // Where a line may end: after a "," or before a blank, both outside quoted values.
        const auto chars = characters(statement);
        std::vector<bool> outside(chars.size());
        bool inQuote = false;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            outside[i] = !inQuote;
            if (chars[i] == "'")
                inQuote = !inQuote;
        }
        const auto allowed = [&](std::size_t at) {
            return at > 0 && at < chars.size()
                && ((chars[at - 1] == "," && outside[at - 1]) || (chars[at] == " " && outside[at]));
        };
        const auto anyAllowed = [&](std::size_t from, std::size_t to) { // in (from, to]
            for (std::size_t at = from + 1; at <= to && at < chars.size(); ++at)
                if (allowed(at))
                    return true;
            return false;
        };

        std::size_t start = 0;
        for (std::size_t l = 0; l < lines.size(); ++l) {
            ASSERT_FALSE(startsInsideUtf8Sequence(lines[l]));
            const std::size_t end = start + utf8Length(lines[l]);
            const bool last = l + 1 == lines.size();
            if (!last) {
                ASSERT_TRUE(allowed(end)) << "statement " << n << " line " << l;
            }
            if (end - start > MaxLineChars) {
                // Longer only where no point was within reach.
                ASSERT_FALSE(anyAllowed(start, last ? chars.size() - 1 : start + MaxLineChars)) << n;
            } else if (!last) {
                // And no shorter than it had to be.
                ASSERT_FALSE(anyAllowed(end, start + MaxLineChars)) << n;
            }
            start = end;
        }
        ASSERT_EQ(start, chars.size());
    }
    EXPECT_GT(multiLine, 1000u);
}

TEST(LineCutter, SqlValueLongerThanALineStaysWhole)
{
    const std::string value = "'" + repeat("a, b", 600) + "'";
    const std::string statement = "INSERT INTO t (a,b,c) VALUES(1," + value + ",2)";
    LineCutter cutter(ScriptKind::Sql);
    const auto lines = cutInto(cutter, statement);
    EXPECT_EQ(lines, (std::vector<std::string>{"INSERT INTO t (a,b,c) VALUES(1,", value + ",", "2)"}));

    // Short statements stay on one line whatever they hold.
    const std::string shortOne = "INSERT INTO t (a) VALUES('x, y')";
    EXPECT_EQ(cutInto(cutter, shortOne), std::vector<std::string>{shortOne});
}

TEST(LineCutter, SqlBracketedNamesAreNotCut)
{
    std::string columns;
    for (int i = 0; i < 200; ++i)
        columns += (i ? "," : "") + std::string("[my col]");
    const std::string statement = "INSERT INTO [my table] (" + columns + ") VALUES(1)";
    LineCutter cutter(ScriptKind::Sql);
    const auto lines = cutInto(cutter, statement);
    EXPECT_GT(lines.size(), 1u);
    for (const auto& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '['), std::count(line.begin(), line.end(), ']'))
            << "a cut inside [my col] or [my table] changes the name: " << line;
        EXPECT_LE(utf8Length(line), MaxLineChars);
    }
}
