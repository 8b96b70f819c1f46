#include "QStringPrinting.h"
#include "SplitterTestSupport.h"

#include "osql/ScriptOutput.h"
#include "osql/ScriptRunner.h"
#include "osql/TextExecutor.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace zobran::osql;
using namespace zobran::osql::test;
using Mode = ScriptSplitter::Mode;

namespace {

// Records what it is given; texts holding "fail" fail, one holding "lost" loses the connection.
class RecordingExecutor : public TextExecutor {
public:
    bool execute(const QString& text) override
    {
        texts << text;
        lost = lost || text.contains(QStringLiteral("lost"));
        return !text.contains(QStringLiteral("fail")) && !lost;
    }
    bool executeBatch(const QString& text) override { return execute(text); }
    bool connectionLost() const override { return lost; }
    QStringList texts;
    bool lost = false;
};

struct Outcome {
    QStringList texts;
    RunTotals totals;
    QString printed;
};

Outcome run(const QByteArray& script, Mode mode, bool utf8 = true)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ScriptOutput output(out, err);
    RecordingExecutor executor;
    ScriptRunner runner(executor, output, mode, utf8);
    MemorySource source(script, 3);
    Outcome result{{}, runner.run(source, {}), {}};
    result.texts = executor.texts;
    output.flush();
    std::rewind(out);
    char text[4096] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, out);
    result.printed = QString::fromUtf8(text, static_cast<qsizetype>(n));
    std::rewind(err);
    const std::size_t e = std::fread(text, 1, sizeof text - 1, err);
    result.printed += QString::fromUtf8(text, static_cast<qsizetype>(e));
    std::fclose(out);
    std::fclose(err);
    return result;
}

TEST(ScriptRunner, GoCountRunsTheBatchAgainFromTheScript)
{
    const QByteArray script = "SELECT 0\nGO\nINSERT INTO t VALUES (1)\nINSERT INTO t VALUES (2)\nGO 3\nSELECT 9";
    const Outcome statements = run(script, Mode::Statements);
    EXPECT_EQ(
        statements.texts,
        QStringList({"SELECT 0", "INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)", "INSERT INTO t VALUES (1)",
                     "INSERT INTO t VALUES (2)", "INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)", "SELECT 9"}));
    EXPECT_EQ(statements.totals.texts, 8);

    const Outcome batches = run(script, Mode::WholeBatches);
    const QString batch = "INSERT INTO t VALUES (1)\nINSERT INTO t VALUES (2)";
    EXPECT_EQ(batches.texts, QStringList({"SELECT 0", batch, batch, batch, "SELECT 9"}));
}

TEST(ScriptRunner, FailuresAreCountedWithTheirLineAndTheRunGoesOn)
{
    const Outcome result = run("INSERT INTO t VALUES (1)\nINSERT INTO fail VALUES (2)\nGO 2\nINSERT INTO t VALUES (3)",
                               Mode::Statements);
    EXPECT_EQ(result.texts.size(), 5);
    EXPECT_EQ(result.totals.texts, 5);
    EXPECT_EQ(result.totals.failed, 2);
    EXPECT_EQ(result.printed.count(QStringLiteral("The statement starting at line 2 failed.")), 2);
    EXPECT_EQ(result.texts.last(), QStringLiteral("INSERT INTO t VALUES (3)"));
}

TEST(ScriptRunner, Windows1252ScriptsAreDecodedAsSuch)
{
    const Outcome result = run("INSERT INTO t VALUES ('Caf\xE9 \x80')", Mode::Statements, false);
    EXPECT_EQ(result.texts, QStringList({QStringLiteral(u"INSERT INTO t VALUES ('Café €')")}));
}

TEST(ScriptRunner, ALostConnectionStopsTheRunAndCountsWhatIsLeft)
{
    // 1, its repeat, 2, then the loss; left: 3, two more rounds of 2, lost, 3, and 4.
    const Outcome result = run("SELECT 1\nGO 2\nSELECT 2\nSELECT lost\nSELECT 3\nGO 3\nSELECT 4", Mode::Statements);
    EXPECT_EQ(result.texts, QStringList({"SELECT 1", "SELECT 1", "SELECT 2", "SELECT lost"}));
    EXPECT_EQ(result.totals.texts, 4);
    EXPECT_EQ(result.totals.failed, 1);
    EXPECT_EQ(result.totals.notRun, 8);
    EXPECT_TRUE(result.totals.connectionLost);
    EXPECT_EQ(result.printed,
              "OSQL: the connection was lost at the statement starting at line 4, after 3 "
              "statement(s) had run; the script stopped there and its 8 later statement(s) were not "
              "run.\n");
}

} // namespace
