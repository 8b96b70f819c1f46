#include "SplitterTestSupport.h"

#include <gtest/gtest.h>

using namespace zobran::osql;
using namespace zobran::osql::test;
using Mode = ScriptSplitter::Mode;

namespace {

// Splits with reads of 1, 2, 3 and 7 bytes and of a whole megabyte: all must agree.
QStringList split(const QByteArray& script, Mode mode = Mode::WholeBatches)
{
    const QStringList whole = piecesOf(script, mode, ScriptSplitter::DefaultChunkBytes);
    for (const std::size_t chunk : {1, 2, 3, 7})
        EXPECT_EQ(piecesOf(script, mode, chunk), whole) << "reading " << chunk << " bytes at a time";
    return whole;
}

QStringList statements(const QByteArray& script)
{
    return split(script, Mode::Statements);
}

TEST(ScriptSplitter, GoLinesEndBatchesInAnyCaseWithBlanksCountsAndComments)
{
    EXPECT_EQ(split("a\nGO\nb\ngo\nc\n  Go  \nd\n\tgO\t\ne"),
              QStringList({"a", "GO 1", "b", "GO 1", "c", "GO 1", "d", "GO 1", "e", "GO 1"}));
    EXPECT_EQ(split("a\nGO 3\nb\ngo\t12  \n"), QStringList({"a", "GO 3", "b", "GO 12"}));
    EXPECT_EQ(split("a\nGO -- done\nb\nGO 2 /* twice /* nested */ */ -- and so on\nc"),
              QStringList({"a", "GO 1", "b", "GO 2", "c", "GO 1"}));
}

TEST(ScriptSplitter, GoWithAnythingElseOnItsLineBelongsToTheBatch)
{
    for (const char* line :
         {"GOTO x", "go;", "GO x", "GO 0", "GO3", "GO 2 x", "x GO", "GO /* runs on", "GO 99999999999"}) {
        const QByteArray script = QByteArray("a\n") + line + "\nb";
        EXPECT_EQ(split(script), QStringList({script, "GO 1"})) << line;
    }
}

TEST(ScriptSplitter, GoInsideQuotesNamesAndCommentsDoesNotEndTheBatch)
{
    for (const char* batch :
         {"INSERT INTO t VALUES ('x\nGO\ny')", "INSERT INTO t VALUES (N'it''s\nGO\n''')",
          "SELECT [odd]]\nGO\nname] FROM t", "SELECT \"odd\"\"\nGO\nname\" FROM t",
          "SELECT 1 /* outer /* inner */\nGO\nstill outer */", "SELECT 1 -- not 'a quote\n-- GO\n"}) {
        const QByteArray script = QByteArray(batch) + "\nGO\nSELECT 2";
        EXPECT_EQ(split(script), QStringList({QByteArray(batch).trimmed(), "GO 1", "SELECT 2", "GO 1"})) << batch;
    }
    // A line comment ends at its line: a GO on the next line counts.
    EXPECT_EQ(split("SELECT 1 -- it's\nGO\nSELECT 2"), QStringList({"SELECT 1 -- it's", "GO 1", "SELECT 2", "GO 1"}));
}

TEST(ScriptSplitter, EndOfScriptEndsTheLastBatchAndEmptyBatchesAreSkipped)
{
    EXPECT_EQ(split("a"), QStringList({"a", "GO 1"}));
    EXPECT_EQ(split("GO\n\n  \nGO 5\n-- only a comment\n/* and another */\nGO\na\r\n\r\n"), QStringList({"a", "GO 1"}));
    EXPECT_EQ(split(""), QStringList());
}

TEST(ScriptSplitter, SomethingLeftOpenAtTheEndGoesToTheServer)
{
    // Else a forgotten "*/" would silently swallow the rest of the script.
    EXPECT_EQ(split("/* header\nINSERT INTO t VALUES (1)\nGO\n"),
              QStringList({"/* header\nINSERT INTO t VALUES (1)\nGO\n", "GO 1"}));
    EXPECT_EQ(statements("INSERT INTO t VALUES ('open\n"), QStringList({"INSERT INTO t VALUES ('open\n", "GO 1"}));
}

TEST(ScriptSplitter, StatementsEndAtSemicolonsAndAtLinesStartingWithAStatementWord)
{
    EXPECT_EQ(
        statements("create table t (a int); insert into t values (1);\n"
                   "INSERT INTO t VALUES (2)\n"
                   "  update t set a = 3\n"
                   "Delete from t where a = 1\n"
                   "SELECT * FROM t\nALTER TABLE t ADD b int\nTRUNCATE TABLE t\nDROP TABLE t\nGO\n"
                   "CREATE TABLE u (a int)"),
        QStringList({"create table t (a int)", "insert into t values (1)", "INSERT INTO t VALUES (2)",
                     "update t set a = 3", "Delete from t where a = 1", "SELECT * FROM t", "ALTER TABLE t ADD b int",
                     "TRUNCATE TABLE t", "DROP TABLE t", "GO 1", "CREATE TABLE u (a int)", "GO 1"}));
}

TEST(ScriptSplitter, StatementWordsInsideQuotesCommentsOrMidLineDoNotSplit)
{
    for (const char* statement :
         {"INSERT INTO t VALUES ('a;\nINSERT INTO t')", "INSERT INTO [x;\nselect] VALUES (1)",
          "INSERT INTO \"x;\nDELETE\" VALUES (1)", "INSERT INTO t /* ;\nDROP TABLE t */ VALUES (1)",
          "INSERT INTO t -- ; comment\nVALUES (1)", "UPDATE t SET a = 1 WHERE b IN (SELECT b FROM u) AND c = 'delete'",
          "DELETE FROM t\nWHERE a IN (\nSELECT a FROM u)", "CREATE VIEW v AS\nSELECT a FROM t",
          "SELECT a FROM t UNION ALL\nSELECT a FROM u", "INSERT INTO t (a)\nSELECT a FROM u",
          "WITH w AS (SELECT 1 AS a)\nSELECT a FROM w", "INSERTED INTO t", "SELECTION 1"}) {
        const QByteArray script = QByteArray("CREATE TABLE t (a int);\n") + statement + "\nDROP TABLE t";
        EXPECT_EQ(statements(script), QStringList({"CREATE TABLE t (a int)", statement, "DROP TABLE t", "GO 1"}))
            << statement;
    }
    // An INSERT with its VALUES is complete: a SELECT on the next line is a statement of its own.
    EXPECT_EQ(statements("INSERT INTO t VALUES (1)\nSELECT * FROM t"),
              QStringList({"INSERT INTO t VALUES (1)", "SELECT * FROM t", "GO 1"}));
}

TEST(ScriptSplitter, ValuesThatReadLikeStatementsOrGoStayInTheirInsert)
{
    // As the script writer cuts long statements: at commas and before blanks, never in a value.
    const QByteArray insert = "INSERT INTO qinv_mt_item (code,memo,price) VALUES(N'A1',N'first line\r\n"
                              "INSERT INTO qinv_mt_item\r\nGO\r\ngo 2\r\n; DROP TABLE x'\r\n,12.5)";
    const QByteArray script = insert + "\r\n" + insert + "\r\nGO\r\n";
    EXPECT_EQ(statements(script), QStringList({insert, insert, "GO 1"}));
    EXPECT_EQ(split(script), QStringList({insert + "\r\n" + insert, "GO 1"}));
}

TEST(ScriptSplitter, CrLfLfAndCrLineEndsAllCount)
{
    for (const char* end : {"\r\n", "\n", "\r"}) {
        QByteArray script = "INSERT INTO t VALUES ('x@y')@INSERT INTO t VALUES (2)@GO 2@  go  @SELECT 1@";
        script.replace('@', end);
        QByteArray first = "INSERT INTO t VALUES ('x@y')";
        first.replace('@', end);
        EXPECT_EQ(statements(script), QStringList({first, "INSERT INTO t VALUES (2)", "GO 2", "SELECT 1", "GO 1"}))
            << "line end " << QByteArray(end).toHex().constData();
    }
}

TEST(ScriptSplitter, PiecesCarryTheirLinesAndWhereTheirBatchBegan)
{
    const QByteArray script = "\r\n  INSERT INTO t\r\nVALUES ('a\rb')\nINSERT INTO t VALUES (2)\nGO 3\n\nSELECT 1\n";
    MemorySource source(script, 5);
    ScriptSplitter splitter(source, Mode::Statements, {}, 5);
    ScriptPiece piece;
    std::vector<std::int64_t> lines;
    std::vector<ScriptPiece> ends;
    while (splitter.next(piece)) {
        lines.push_back(piece.line);
        if (piece.kind == ScriptPiece::Kind::BatchEnd)
            ends.push_back(piece);
    }
    EXPECT_EQ(lines, (std::vector<std::int64_t>{2, 5, 6, 8, 9}));
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].repeat, 3);
    EXPECT_EQ(ends[0].batchStart.offset, 0);
    EXPECT_EQ(ends[1].batchStart.offset, script.indexOf("\nSELECT"));
    EXPECT_EQ(ends[1].batchStart.line, 7);
}

} // namespace
