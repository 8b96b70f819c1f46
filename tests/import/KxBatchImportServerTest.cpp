// KX files imported in batches give what importing them statement by statement gives.

#include "ImportServerSupport.h"
#include "support/TestServer.h"

#include "basics/RunProgress.h"
#include "basics/RunStopped.h"
#include "basics/StopSource.h"
#include "generate/GenerationRun.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "import/KxFileImport.h"

#include <QDir>
#include <QRegularExpression>

#include <map>

using namespace zobran;
using namespace zobran::test;

namespace {

// What an import came to: its counts, each failure as the failure log gets it, each statement's
// line and fate as the runs count them, and the rows of the table afterwards.
struct Imported {
    KxImportCounts counts;
    QStringList failures;
    QStringList fates;
    QStringList rows;
    int transactions = 0; // that wrote the rows, each batch its own
};

class KxBatchImportTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveSetting(SettingsApplication, SettingsSection, QStringLiteral("KxBatchSize")); }

    QString writeKx(const QStringList& lines)
    {
        const QString path = dir.filePath(QStringLiteral("f%1.KX").arg(++files));
        writeBytes(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        return path;
    }

    // Imports the file into the test's database, then reads the table.
    Imported import(const QString& path, int batchSize, const QString& table,
                    const std::function<void(const KxImportCounts&, const StopSource&)>& afterEach = {})
    {
        SaveSetting(SettingsApplication, SettingsSection, QStringLiteral("KxBatchSize"), QString::number(batchSize));
        db::Connection connection;
        connection.open(testConnectionString(database.name()));
        const StopSource stop;
        Imported result;
        KxImportHooks hooks;
        hooks.statementFailed = [&](const KxStatementFailure& f) {
            result.failures << QStringLiteral("line %1: %2 %3 [%4]")
                                   .arg(f.line)
                                   .arg(f.error.number())
                                   .arg(f.error.description(), f.statement);
        };
        hooks.afterStatement = [&](const KxImportCounts& counts, long line, bool executed) {
            result.counts = counts;
            result.fates << QStringLiteral("%1 %2").arg(line).arg(executed ? "ran" : "failed");
            if (afterEach)
                afterEach(counts, stop);
        };
        try {
            const db::Connection::RunUse use(connection, stop);
            result.counts = importKxFile(path, connection, hooks);
        } catch (const RunStopped&) {
            result.fates << QStringLiteral("stopped");
        }
        result.rows = rowsOf(connection, QStringLiteral("select * from %1 order by 1").arg(table));
        result.transactions = rowsOf(connection, QStringLiteral("select count(distinct xmin::text) from %1").arg(table))
                                  .value(0)
                                  .toInt();
        return result;
    }

    PrivateDatabase database{QStringLiteral("kxb")};
    QTemporaryDir dir;
    int files = 0;
};

TEST_F(KxBatchImportTest, FailuresAnywhereInTheBatchesGiveWhatStatementByStatementGives)
{
    database.connection().execute("create table kb (id int primary key, memo text)");
    // 1,000 statements: failing ones at the start, in the middle and at the end of batches; every
    // 50th over three lines, so that batch edges fall inside them; values with line ends and ";".
    const std::map<int, QString> failing{
        {1, "INSERT INTO kb (id,memo) VALUES(0,'a duplicate key')"},
        {100, "INSERT INTO kb_missing (id,memo) VALUES(100,'a missing table')"},
        {101, "INSERT INTO kb (id,memo) VALUEZ(101,'a syntax error')"},
        {150, "INSERT INTO kb (id,memo) VALUES(149,'a duplicate key')"},
        {300, "INSERT INTO kb (id,memo) VALUES(2,'a duplicate key')"},
        {301, "INSERT INTO kb_missing (id,memo) VALUES(301,'a missing table')"},
        {302, "INSERT INTO kb (id,memo) VALUEZ(302,'a syntax error')"},
        {555, "INSERT INTO kb (id,memo) VALUES(555,'a syntax error',)"},
        {999, "INSERT INTO kb (id,memo) VALUES(998,'a duplicate key')"},
        {1000, "INSERT INTO kb_missing (id,memo) VALUES(1000,'a missing table')"},
    };
    QStringList lines;
    for (int i = 1; i <= 1000; ++i) {
        const QString memo = i % 7 == 0 ? QStringLiteral("line\n;end; -- not a comment\n/* nor this") : "row";
        const QString statement = failing.count(i)
            ? failing.at(i)
            : QStringLiteral("INSERT INTO kb (id,memo) VALUES(%1,'%2 %1')").arg(i).arg(memo);
        if (i % 50 == 0)
            lines << "<" + statement.left(10) << statement.mid(10, 15) << statement.mid(25) + ">";
        else
            lines << "<" + statement + ">";
    }
    const QString path = writeKx(lines);
    std::map<int, Imported> bySize;
    for (const int size : {1, 7, 100}) {
        database.connection().execute("delete from kb");
        database.connection().execute("insert into kb values (0, 'there before')");
        bySize[size] = import(path, size, "kb");
    }
    const Imported& alone = bySize[1];
    EXPECT_EQ(alone.counts.executed, 990);
    EXPECT_EQ(alone.counts.failed, 10);
    EXPECT_EQ(alone.failures.size(), 10);
    EXPECT_EQ(alone.rows.size(), 991);
    EXPECT_EQ(alone.transactions, 991);
    EXPECT_LT(bySize[100].transactions, 100);
    // Statement 100 begins on line 102, after the two more lines of statement 50.
    EXPECT_TRUE(alone.failures.value(1).startsWith("line 102: ")) << alone.failures.value(1).toStdString();
    for (const int size : {7, 100}) {
        const Imported& batched = bySize[size];
        EXPECT_EQ(batched.counts.executed, alone.counts.executed) << size;
        EXPECT_EQ(batched.counts.failed, alone.counts.failed) << size;
        EXPECT_EQ(batched.failures, alone.failures) << size;
        EXPECT_EQ(batched.fates, alone.fates) << size;
        EXPECT_EQ(batched.rows, alone.rows) << size;
    }
}

TEST_F(KxBatchImportTest, AStopBetweenBatchesLeavesWholeBatchesAndSaysHowManyRan)
{
    database.connection().execute("create table ks (id int primary key)");
    QStringList lines;
    for (int i = 1; i <= 1000; ++i)
        lines << QStringLiteral("<INSERT INTO ks (id) VALUES(%1)>").arg(i);
    const Imported stopped
        = import(writeKx(lines), 100, "ks", [](const KxImportCounts& counts, const StopSource& stop) {
              if (counts.executed == 150)
                  stop.requestStop();
          });
    EXPECT_EQ(stopped.fates.last(), "stopped");
    EXPECT_EQ(stopped.counts.executed, 200);
    EXPECT_EQ(stopped.rows.size(), 200);
    EXPECT_EQ(stopped.transactions, 2);
}

TEST_F(KxBatchImportTest, TheDemoItemsWithOneRowTwiceFailOnceAndLoadEveryRowOnce)
{
    // The shop's qinv_mt_item, generated as a KX file as the Generate Script window does.
    const QString shop = privateDatabase(DatabaseTemplate::Shop);
    db::Connection source;
    source.open(testConnectionString(shop));
    source.setCursorLocation(db::CursorLocationClient);
    PendingLineBuffer pending;
    ScriptFileWriter writer(pending, {});
    writer.setAutoName(true);
    writer.setFolder(dir.filePath("export"));
    ScriptGenerator generator(pending);
    GenerationResult generated;
    RunProgress progress;
    runGeneration(GenerationRequest{{{"Select * From qinv_mt_item", "qinv_mt_item"}}, ScriptKind::Kx, "0"}, source,
                  generator, writer, StopSource(), progress, generated);
    ASSERT_TRUE(generated.ended);
    const QString kxFile = generated.lastCompleteFile;
    ASSERT_TRUE(kxFile.endsWith(".KX")) << kxFile.toStdString();

    // One row's statement twice, the second time right after the first.
    QStringList lines = QString::fromUtf8(readBytes(kxFile)).split("\r\n");
    lines.removeLast();
    const qsizetype twice = lines.indexOf(QRegularExpression("^<INSERT INTO qinv_mt_item .*'A001'.*>$"));
    ASSERT_GE(twice, 0);
    lines.insert(twice + 1, lines[twice]);

    // Into an empty copy of the table: one failure, on the copy's line; every row once (as the
    // file holds it: the generator writes a NULL text as ''), as statement by statement.
    database.connection().execute(
        "create table qinv_mt_item (itemcode varchar(20) primary key, description varchar(200), "
        "price numeric(12,2), cost numeric(14,4), active boolean, created timestamp, qty integer, "
        "barcode varchar(30), remark text)");
    const QString file = writeKx(lines);
    const Imported batched = import(file, 100, "qinv_mt_item");
    EXPECT_EQ(batched.counts.failed, 1);
    ASSERT_EQ(batched.failures.size(), 1);
    EXPECT_TRUE(batched.failures[0].startsWith(QStringLiteral("line %1: ").arg(twice + 2)))
        << batched.failures[0].toStdString();
    EXPECT_TRUE(batched.failures[0].contains("23505")) << batched.failures[0].toStdString();
    const QString keys = "select itemcode from qinv_mt_item order by 1";
    const QStringList sourceKeys = rowsOf(source, keys);
    EXPECT_EQ(batched.counts.executed, sourceKeys.size());
    EXPECT_TRUE(rowsOf(database.connection(), keys) == sourceKeys);

    database.connection().execute("delete from qinv_mt_item");
    const Imported alone = import(file, 1, "qinv_mt_item");
    EXPECT_TRUE(batched.rows == alone.rows);
    EXPECT_TRUE(batched.failures == alone.failures);
}

} // namespace
