#include "import/KxStatementReader.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace zobran;
using namespace Qt::StringLiterals;

namespace {

using Statements = QStringList;

Statements statementsOf(const QStringList& lines)
{
    KxStatementReader reader;
    Statements out;
    for (const QString& line : lines)
        if (const QString* statement = reader.feedLine(line))
            out << *statement;
    return out;
}

} // namespace

TEST(KxStatementReader, OneLineStatementsInFileOrder)
{
    EXPECT_EQ(statementsOf({"<INSERT INTO t (a) VALUES(1)>", "<INSERT INTO t (a) VALUES('<x>')>"}),
              (Statements{"INSERT INTO t (a) VALUES(1)", "INSERT INTO t (a) VALUES('<x>')"}));
}

TEST(KxStatementReader, PiecesAreJoinedWithoutSeparatorAndAnEmptyLineAddsNothing)
{
    EXPECT_EQ(statementsOf({"<INSERT INTO t (a", ") VALUES(", "", "'x y')>"}),
              Statements{"INSERT INTO t (a) VALUES('x y')"});
}

TEST(KxStatementReader, EmptyBracketsGiveAnEmptyStatement)
{
    EXPECT_EQ(statementsOf({"<>"}), Statements{""});
    EXPECT_EQ(statementsOf({"<", ">"}), Statements{""});
}

TEST(KxStatementReader, BlanksBeforeTheOpeningBracketAreIgnored)
{
    EXPECT_EQ(statementsOf({"   <INSERT INTO t (a) VALUES(1)>"}), Statements{"INSERT INTO t (a) VALUES(1)"});
    EXPECT_EQ(statementsOf({"  <INSERT INTO t", " (a) VALUES(1)>"}), Statements{"INSERT INTO t (a) VALUES(1)"});
    // Such a line opens a statement even while another is open: the open one is left unended.
    EXPECT_EQ(statementsOf({"<a", "  <b>"}), Statements{"b"});
    // A tab is not a blank here: the line is a piece of the open statement.
    EXPECT_EQ(statementsOf({"<a", "\t<b>"}), Statements{"a\t<b"});
}

TEST(KxStatementReader, ContinuationLinesKeepTheirBlanks)
{
    // A value cut inside a run of blanks comes back with every blank.
    EXPECT_EQ(statementsOf({"<VALUES('a", "   b", "  ')>"}), Statements{"VALUES('a   b  ')"});
    EXPECT_EQ(statementsOf({"<VALUES('", "    ", "')>"}), Statements{"VALUES('    ')"});
}

TEST(KxStatementReader, StrayTextIsNeverAStatementButIsToldOf)
{
    EXPECT_EQ(statementsOf({"<one>", "two", "three>"}), (Statements{"one"}));
    EXPECT_EQ(statementsOf({"<one>", ">"}), (Statements{"one"}));

    // line, whether it stands outside, the statement it drops
    const std::vector<std::tuple<QString, bool, QString>> lines{
        {"stray", true, ""},          {"", false, ""},    {"   ", false, ""}, {"<one", false, ""}, {"two", false, ""},
        {"<three>", false, "onetwo"}, {"four>", true, ""}};
    KxStatementReader reader;
    for (const auto& [line, outside, dropped] : lines) {
        reader.feedLine(line);
        EXPECT_EQ(reader.lineOutsideStatement(), outside) << line.toStdString();
        EXPECT_EQ(reader.droppedUnfinished(), !dropped.isEmpty()) << line.toStdString();
        if (!dropped.isEmpty()) {
            EXPECT_EQ(reader.droppedText(), dropped);
        }
    }
}

TEST(KxStatementReader, UnfinishedStatementIsVisibleAtTheEnd)
{
    KxStatementReader reader;
    EXPECT_FALSE(reader.feedLine(u"<INSERT INTO t"));
    EXPECT_TRUE(reader.hasUnfinishedStatement());
    EXPECT_EQ(reader.unfinishedText(), "INSERT INTO t");
    reader.reset();
    EXPECT_FALSE(reader.hasUnfinishedStatement());

    EXPECT_FALSE(reader.feedLine(u"<"));
    EXPECT_TRUE(reader.hasUnfinishedStatement());
    EXPECT_TRUE(reader.feedLine(u"x>"));
    EXPECT_FALSE(reader.hasUnfinishedStatement());
}

TEST(KxStatementReader, MultibyteTextPassesUnchanged)
{
    EXPECT_EQ(statementsOf({u"<INSERT INTO t (a) VALUES('€"_s, u"😀 é')>"_s}),
              Statements{u"INSERT INTO t (a) VALUES('€😀 é')"_s});
}
