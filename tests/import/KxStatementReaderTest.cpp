#include "import/KxStatementReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zobran;
using Mode = KxStatementReader::LeadingSpaces;

namespace {

std::vector<std::string> statementsOf(const std::vector<std::string>& lines, Mode mode)
{
    KxStatementReader reader(mode);
    std::vector<std::string> out;
    for (const auto& line : lines)
        if (const auto statement = reader.feedLine(line))
            out.emplace_back(*statement);
    return out;
}

using Statements = std::vector<std::string>;

} // namespace

TEST(KxStatementReader, OneLineStatementsInFileOrder)
{
    const Statements lines = {"<INSERT INTO t (a) VALUES(1)>", "<INSERT INTO t (a) VALUES('<x>')>"};
    for (const Mode mode : {Mode::Keep, Mode::Strip})
        EXPECT_EQ(statementsOf(lines, mode), (Statements{"INSERT INTO t (a) VALUES(1)", "INSERT INTO t (a) VALUES('<x>')"}));
}

TEST(KxStatementReader, PiecesAreJoinedWithoutSeparator)
{
    const Statements lines = {"<INSERT INTO t (a", ") VALUES(", "", "'x y')>"};
    for (const Mode mode : {Mode::Keep, Mode::Strip})
        EXPECT_EQ(statementsOf(lines, mode), Statements{"INSERT INTO t (a) VALUES('x y')"});
}

TEST(KxStatementReader, EmptyBracketsGiveAnEmptyStatement)
{
    EXPECT_EQ(statementsOf({"<>"}, Mode::Keep), Statements{""});
    EXPECT_EQ(statementsOf({"<", ">"}, Mode::Keep), Statements{""});
}

TEST(KxStatementReader, LeadingSpacesAreKeptOrStripped)
{
    // Kept: a line with blanks before its "<" is the last piece of the open statement.
    EXPECT_EQ(statementsOf({"<a", "  <b>"}, Mode::Keep), Statements{"a  <b"});
    // Stripped: the same line is a statement of its own, and pieces lose their leading blanks.
    EXPECT_EQ(statementsOf({"<a", "  <b>"}, Mode::Strip), Statements{"b"});
    EXPECT_EQ(statementsOf({"<a", "  b", " c>"}, Mode::Strip), Statements{"abc"});
    EXPECT_EQ(statementsOf({"<a", "  b", " c>"}, Mode::Keep), Statements{"a  b c"});
    EXPECT_EQ(statementsOf({"   "}, Mode::Strip), Statements{});
}

TEST(KxStatementReader, StrayTextNeverRepeatsTheLastStatement)
{
    EXPECT_EQ(statementsOf({"<one>", "two", "three>"}, Mode::Keep), (Statements{"one", "twothree"}));
    EXPECT_EQ(statementsOf({"<one>", ">"}, Mode::Keep), (Statements{"one", ""}));
}

TEST(KxStatementReader, UnfinishedStatementIsVisibleAtTheEnd)
{
    KxStatementReader reader(Mode::Keep);
    EXPECT_FALSE(reader.feedLine("<INSERT INTO t"));
    EXPECT_TRUE(reader.hasUnfinishedStatement());
    EXPECT_EQ(reader.unfinishedText(), "INSERT INTO t");
    reader.reset();
    EXPECT_FALSE(reader.hasUnfinishedStatement());

    EXPECT_FALSE(reader.feedLine("<"));
    EXPECT_TRUE(reader.hasUnfinishedStatement());
    EXPECT_TRUE(reader.feedLine("x>"));
    EXPECT_FALSE(reader.hasUnfinishedStatement());
}

TEST(KxStatementReader, MultibyteTextPassesUnchanged)
{
    const Statements lines = {"<INSERT INTO t (a) VALUES('€", "😀 é')>"};
    EXPECT_EQ(statementsOf(lines, Mode::Strip), Statements{"INSERT INTO t (a) VALUES('€😀 é')"});
}
