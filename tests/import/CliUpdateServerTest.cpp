#include "ImportServerSupport.h"
#include "support/TestServer.h"

#include "import/RunReport.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace zobran;
using namespace zobran::test;

namespace {

// zobran-cli and OSQL copied into a program folder of the test's own (its batch files and logs
// stay there), with remembered settings of its own.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        for (const QString& program : {QStringLiteral(ZOBRAN_CLI_PROGRAM), QStringLiteral(ZOBRAN_OSQL_PROGRAM)})
            ASSERT_TRUE(QFile::copy(program, folder.filePath(QFileInfo(program).fileName()))) << program.toStdString();
    }

    struct Result {
        int status = -1;
        QString out;
        QString err;
    };

    Result cli(const QStringList& args)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ZOBRAN_PASSWORD", testServer().password);
        environment.insert("XDG_CONFIG_HOME", folder.filePath("config"));
        environment.remove("DBUS_SESSION_BUS_ADDRESS"); // no secret store
        process.setProcessEnvironment(environment);
        process.start(folder.filePath("zobran-cli"),
                      QStringList{args.first(), "--server", testServer().socketDir, "--login", testServer().login}
                          + args.mid(1));
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString script(const QString& name, const QByteArray& text)
    {
        writeBytes(folder.filePath(name), text);
        return folder.filePath(name);
    }

    // The report's rows as "database|file|completed|executed|failed" for files and
    // "database|table|before|after" for counted tables, in the order written.
    static QStringList reportRows(const QString& path)
    {
        QStringList rows;
        const QStringList lines = QString::fromUtf8(readBytes(path)).split("\r\n", Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(1)) {
            const QStringList v = csvValues(line);
            rows << (v[7].isEmpty() ? QStringList{v[0], QFileInfo(v[1]).fileName(), v[2], v[3], v[4]}.join('|')
                                    : QStringList{v[0], v[7], v[8], v[9]}.join('|'));
        }
        return rows;
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(CliTest, UpdateRunsDatabasesSideBySideReportsEachAndResumesWhatWasLeft)
{
    std::vector<std::unique_ptr<PrivateDatabase>> shops;
    QStringList names;
    for (int i = 0; i < 6; ++i) {
        shops.push_back(std::make_unique<PrivateDatabase>(QStringLiteral("cli%1").arg(i)));
        shops.back()->connection().execute("create table item (id int primary key, name varchar(20))");
        names << shops.back()->name();
    }
    const QString sql = script("prices.sql", "insert into item values (100, 'by the tool')\r\n");
    const QString kx = script("items.KX",
                              "<INSERT INTO item (id,name) VALUES(1,N'one')>\r\n"
                              "<INSERT INTO item (id,name) VALUES(2,N'two')>\r\n");
    const QString report = folder.filePath("r.csv");
    const QString missing = uniqueName("imp", "gone");
    QStringList withMissing = names;
    withMissing.insert(2, missing);

    // One database cannot be opened: the others go on (the default), the run fails and says why.
    Result run = cli({"update", "--databases", withMissing.join(','), "--parallel", "3", "--report", report, sql, kx});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(missing + ": cannot open the database")) << run.err.toStdString();
    for (const auto& shop : shops)
        EXPECT_EQ(rowsOf(shop->connection(), "select id from item order by id"), QStringList({"1", "2", "100"}));
    QStringList rows = reportRows(report);
    EXPECT_EQ(rows.size(), 6 * 3 + 1) << rows.join('\n').toStdString();
    for (const QString& name : names) {
        EXPECT_TRUE(rows.contains(name + "|prices.sql|yes|1|0")) << name.toStdString();
        EXPECT_TRUE(rows.contains(name + "|items.KX|yes|2|0")) << name.toStdString();
        EXPECT_TRUE(rows.contains(name + "|item|0|3")) << name.toStdString();
    }
    EXPECT_TRUE(rows.contains(missing + "||no|0|0"));

    // The database is there now: resumed, the run touches only what was left.
    PrivateDatabase late(QStringLiteral("gone"));
    late.connection().execute("create table item (id int primary key, name varchar(20))");
    const QString second = folder.filePath("r2.csv");
    run = cli({"update", "--databases", withMissing.join(','), "--resume", report, "--report", second, sql, kx});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(rowsOf(late.connection(), "select id from item order by id"), QStringList({"1", "2", "100"}));
    for (const auto& shop : shops)
        EXPECT_EQ(rowsOf(shop->connection(), "select count(*) from item"), QStringList({"3"})) << "nothing twice";
    rows = reportRows(second);
    EXPECT_TRUE(rows.contains(missing + "|items.KX|yes|2|0"));
    EXPECT_EQ(rows.filter("|skipped|").size(), 12);
}

TEST_F(CliTest, UpdateStopsAtAFailedDatabaseWhenToldAndEveryFailureIsOneLine)
{
    PrivateDatabase first(QStringLiteral("first")), last(QStringLiteral("last"));
    for (PrivateDatabase* shop : {&first, &last})
        shop->connection().execute("create table item (id int primary key)");
    const QString kx = script("dup.KX", "<INSERT INTO item (id) VALUES(1)>\r\n<INSERT INTO item (id) VALUES(1)>\r\n");
    const QString missing = uniqueName("imp", "absent");

    const Result run = cli({"update", "--databases", first.name() + ',' + missing + ',' + last.name(), "--parallel",
                            "1", "--on-failure", "stop", "--report", folder.filePath("r.csv"), kx});
    EXPECT_EQ(run.status, 1);
    const QStringList problems = run.err.split('\n', Qt::SkipEmptyParts).filter("zobran-cli: ");
    EXPECT_TRUE(problems.filter(first.name() + ": " + kx + ": 1 of 2 statement(s) failed").size() == 1)
        << run.err.toStdString();
    EXPECT_EQ(problems.filter(missing + ": cannot open the database").size(), 1);
    EXPECT_EQ(problems.filter(last.name() + ": not started").size(), 1) << run.err.toStdString();
    EXPECT_EQ(rowsOf(last.connection(), "select count(*) from item"), QStringList({"0"}));
}

TEST_F(CliTest, ABadCommandLineIsStatusTwoAndEachCommandHasItsHelp)
{
    EXPECT_EQ(cli({"update", "--parallel", "0", "--all", "x.sql"}).status, 2);
    EXPECT_EQ(cli({"update", "--databases", "a", "--all", "x.sql"}).status, 2);
    EXPECT_EQ(cli({"delete", "--database", "a", "--tables", "t", "--run", "--confirm", "yes"}).status, 2);
    EXPECT_EQ(cli({"nonsense"}).status, 2);
    for (const QString& command : {"generate", "import", "update", "delete"}) {
        const Result help = cli({command, "--help"});
        EXPECT_EQ(help.status, 0) << command.toStdString();
        EXPECT_TRUE(help.out.startsWith("usage: zobran-cli " + command)) << help.out.toStdString();
    }
}
