// The OSQL program as the import windows' batch file runs it, against the test server.

#include "QStringPrinting.h"
#include "support/ScriptBytes.h"
#include "support/TestServer.h"

#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::test;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class OsqlProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table_ = QStringLiteral("osql_%1_t").arg(QCoreApplication::applicationPid());
        connection_.open(testConnectionString(QStringLiteral("scratch")));
        connection_.execute("drop table if exists " + table_);
        connection_.execute("create table " + table_ + " (id int primary key, memo varchar(200))");
    }

    void TearDown() override
    {
        if (connection_.isOpen())
            connection_.execute("drop table if exists " + table_);
    }

    // The script with every "@T" standing for the test's table.
    QString writeScript(const QByteArray& text, const QString& name = QStringLiteral("script.sql"))
    {
        QByteArray bytes = text;
        bytes.replace("@T", table_.toUtf8());
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static Outcome osql(const QStringList& args)
    {
        QProcess process;
        process.start(QStringLiteral(ZOBRAN_OSQL_PATH), args);
        EXPECT_TRUE(process.waitForFinished(120000));
        return Outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                       QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    }

    static Outcome osql(const QString& script, const QString& password = testServer().password)
    {
        return osql(
            {"-U", testServer().login, "-P", password, "-S", testServer().socketDir, "-d", "scratch", "-i", script});
    }

    // "id=memo" for every row, in id order.
    QStringList rows()
    {
        db::ResultSet set;
        set.open("select id, memo from " + table_ + " order by id", connection_);
        QStringList all;
        for (; !set.eof(); set.moveNext())
            all << QString::fromUtf8(set.value(0)) + '=' + QString::fromUtf8(set.value(1));
        return all;
    }

    QTemporaryDir dir_;
    QString table_;
    db::Connection connection_;
};

TEST_F(OsqlProgramTest, BatchesEndAtGoButNotAtGoInsideValuesOrComments)
{
    const Outcome run = osql(
        writeScript("INSERT INTO @T (id,memo) VALUES(1,N'first\r\nGO\r\nINSERT INTO @T (id,memo) VALUES(9,''x'')')\r\n"
                    "/* GO\r\nINSERT INTO @T (id,memo) VALUES(98,'in a comment')\r\n*/\r\n"
                    "-- INSERT INTO @T (id,memo) VALUES(99,'after dashes')\r\n"
                    "INSERT INTO @T (id,memo) VALUES(2,'two')\r\n"
                    "go\r\n"
                    "INSERT INTO @T (id,memo) SELECT max(id) + 1, 'again' FROM @T\r\n"
                    "GO 3\r\n"
                    "INSERT INTO @T (id,memo) VALUES(10,'last, with no line end')"));
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(rows(),
              QStringList({"1=first\r\nGO\r\nINSERT INTO " + table_ + " (id,memo) VALUES(9,'x')", "2=two", "3=again",
                           "4=again", "5=again", "10=last, with no line end"}));
}

TEST_F(OsqlProgramTest, AFailingBatchIsReportedWithItsNumberAndLaterBatchesStillRun)
{
    const Outcome run = osql(writeScript("INSERT INTO @T (id,memo) VALUES(1,'one')\n"
                                         "INSERT INTO @T (id,memo) VALUES(1,'again')\n"
                                         "INSERT INTO @T (id,memo) VALUES(2,'two')\n"
                                         "GO\n"
                                         "INSERT INTO @T (id,memo) VALUES(3,'three')\n"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains(QRegularExpression(QStringLiteral("^Msg -?\\d+, SQLSTATE 23505: .*duplicate key"),
                                                    QRegularExpression::MultilineOption)))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("line 2 failed"))) << run.out.toStdString();
    EXPECT_EQ(rows(), QStringList({"1=one", "2=two", "3=three"}));
}

TEST_F(OsqlProgramTest, SuccessExitsZeroAndShowsInformationalMessages)
{
    const Outcome run = osql(writeScript("drop table if exists @T_never_made\nINSERT INTO @T VALUES (1, 'x');\n"));
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression(QStringLiteral("Msg -?\\d+, SQLSTATE \\w{5}: .*_t_never_made"))))
        << run.out.toStdString();
    EXPECT_EQ(rows(), QStringList({"1=x"}));
}

TEST_F(OsqlProgramTest, RefusedLoginPrintsTheDriversMessageAndExitsOne)
{
    const QString script = writeScript("INSERT INTO @T VALUES (1, 'x')\n");
    const Outcome wrong = osql(script, QStringLiteral("not-the-password"));
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.out.contains(QRegularExpression(QStringLiteral("^Msg -?\\d+, SQLSTATE \\w{5}: .*password"),
                                                      QRegularExpression::MultilineOption)))
        << wrong.out.toStdString();

    // An empty password is an argument of its own: the login is tried (and refused), the command
    // line is not.
    const Outcome empty = osql(script, QString());
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.out.startsWith(QStringLiteral("Msg "))) << empty.out.toStdString();
    EXPECT_FALSE(empty.err.contains(QStringLiteral("usage"))) << empty.err.toStdString();
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(OsqlProgramTest, PathWithBlanksAndWindows1252Script)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("my scripts")));
    const Outcome run = osql(writeScript("INSERT INTO @T (id,memo) VALUES(1,'Caf\xE9 \x80 5')\r\n",
                                         QStringLiteral("my scripts/caf\xC3\xA9 list.sql")));
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(rows(), QStringList({QStringLiteral(u"1=Café € 5")}));
}

TEST_F(OsqlProgramTest, CommandLineAndFileProblemsExitOne)
{
    const Outcome help = osql(QStringList{"-?"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: OSQL")));

    const Outcome unknown = osql(QStringList{"-U", "sa", "-E", "-i", "x.sql"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("-E")));
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("usage: OSQL")));

    const Outcome missingValue = osql(QStringList{"-i", "x.sql", "-P"});
    EXPECT_EQ(missingValue.exitCode, 1);

    const Outcome missingFile = osql(dir_.filePath(QStringLiteral("not there.sql")));
    EXPECT_EQ(missingFile.exitCode, 1);
    EXPECT_TRUE(missingFile.err.contains(QStringLiteral("not there.sql"))) << missingFile.err.toStdString();
}

TEST_F(OsqlProgramTest, DamagedScriptsChangeNoRowTheyShouldNotAndAreReported)
{
    // writeScript() fills in the table on UTF-8 bytes only.
    const QString text = "INSERT INTO " + table_ + " VALUES (1, N'caf\u00e9 \u20ac')\r\nGO\r\n";
    const struct {
        const char* what;
        QByteArray bytes;
        int exitCode;
        QStringList rows;
        QString says; // in what it prints, out and err together
    } cases[] = {
        // Cut at the NUL the statement would delete every row.
        {"a NUL character",
         "DELETE FROM @T" + QByteArray(1, '\0') + " WHERE id = 1\r\nINSERT INTO @T VALUES (1, 'one')\r\n",
         1,
         {"1=one", "999=target"},
         "SQLSTATE 22021: The statement holds a NUL character (U+0000) at character "
             + QString::number(QString("DELETE FROM " + table_).size() + 1)},
        {"UTF-8 with a stray byte",
         "INSERT INTO @T VALUES (1, 'caf\xC3\xA9')\r\nINSERT INTO @T VALUES (2, 'it\x92s')\r\n",
         1,
         {"999=target"},
         "line 2 holds a byte that is not (0x92 at byte offset"},
        {"UTF-16 with its mark",
         utf16WithMark(text),
         0,
         {"1=caf\u00e9 \u20ac", "999=target"},
         "1 statements run, 0 failed."},
        {"UTF-16 big-endian with its mark", utf16WithMark(text, true), 0, {"1=caf\u00e9 \u20ac", "999=target"}, ""},
        {"UTF-8 with its mark", utf8WithMark(text), 0, {"1=caf\u00e9 \u20ac", "999=target"}, ""},
    };
    for (const auto& c : cases) {
        connection_.execute("delete from " + table_);
        connection_.execute("insert into " + table_ + " values (999, 'target')");
        const Outcome run = osql(writeScript(c.bytes));
        const QString printed = run.out + run.err;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << printed.toStdString();
        EXPECT_EQ(rows(), c.rows) << c.what;
        EXPECT_TRUE(printed.contains(c.says)) << c.what << ": " << printed.toStdString();
    }
}

TEST_F(OsqlProgramTest, ALostConnectionStopsTheRunWithOneMessage)
{
    const QString marker = table_ + "_waits";
    const QString script = writeScript("INSERT INTO @T VALUES (1, 'a');\nINSERT INTO @T VALUES (2, 'b');\n"
                                       "INSERT INTO @T VALUES (3, 'c');\nSELECT pg_sleep(30) AS "
                                       + marker.toUtf8()
                                       + ";\nINSERT INTO @T VALUES (4, 'd');\nGO\n"
                                         "INSERT INTO @T VALUES (5, 'e');\nGO 3\n");
    QProcess process;
    process.start(QStringLiteral(ZOBRAN_OSQL_PATH),
                  {"-U", testServer().login, "-P", testServer().password, "-S", testServer().socketDir, "-d", "scratch",
                   "-i", script});
    const int backend = sessionRunning("scratch", marker);
    ASSERT_NE(backend, 0) << "the script never reached its wait";
    terminateSession(backend);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 2) << out.toStdString() << err.toStdString();
    EXPECT_EQ(rows(), QStringList({"1=a", "2=b", "3=c"}));
    // The driver's word, then one line of the tool's own: where, and what did not run.
    EXPECT_EQ(err,
              "OSQL: the connection was lost at the statement starting at line 4, after 3 statement(s) had "
              "run; the script stopped there and its 4 later statement(s) were not run.\n");
    EXPECT_TRUE(out.endsWith("4 statements run, 1 failed, 4 not run.\n")) << out.toStdString();
    EXPECT_FALSE(out.contains("starting at line")) << "no line of its own for the failed statement";
    EXPECT_TRUE(out.contains("SQLSTATE 57P01")) << out.toStdString();
}

TEST_F(OsqlProgramTest, StatementsInBatchesPrintCountAndLeaveWhatTheyDoOneByOne)
{
    // 250 statements with failures at the start, in the middle and at the end of batches; a value
    // with line ends and ";"; a statement that may not join a batch in the middle.
    QByteArray script;
    for (int i = 1; i <= 250; ++i) {
        if (i == 1 || i == 120 || i == 250)
            script += "INSERT INTO @T (id,memo) VALUES(" + QByteArray::number(i - 1) + ",'a duplicate key')\r\n";
        else if (i == 100)
            script += "INSERT INTO @T_missing (id,memo) VALUES(100,'a missing table')\r\n";
        else if (i == 101)
            script += "INSERT INTO @T (id,memo) VALUEZ(101,'a syntax error')\r\n";
        else if (i == 180)
            script += "SELECT count(*) AS so_far FROM @T\r\n";
        else
            script += "INSERT INTO @T (id,memo) VALUES(" + QByteArray::number(i) + ",'row\n;" + QByteArray::number(i)
                + "')\r\n";
    }
    const QString path = writeScript(script);
    Outcome outcomes[2];
    QStringList rowsAfter[2];
    int transactions[2] = {};
    for (const int run : {0, 1}) {
        SaveSetting(SettingsApplication, SettingsSection, "KxBatchSize", run == 0 ? "1" : "100");
        connection_.execute("delete from " + table_);
        connection_.execute("insert into " + table_ + " values (0, 'there before')");
        outcomes[run] = osql(path);
        rowsAfter[run] = rows();
        db::ResultSet set;
        set.open("select count(distinct xmin::text) from " + table_, connection_);
        transactions[run] = QString::fromUtf8(set.value(0)).toInt();
    }
    RemoveSetting(SettingsApplication, SettingsSection, "KxBatchSize");
    EXPECT_EQ(outcomes[0].exitCode, 1);
    EXPECT_TRUE(outcomes[0].out.endsWith("250 statements run, 5 failed.\n")) << outcomes[0].out.toStdString();
    EXPECT_EQ(outcomes[0].out.count("failed."), 6) << outcomes[0].out.toStdString();
    EXPECT_EQ(rowsAfter[0].size(), 245);
    EXPECT_EQ(transactions[0], 245);
    EXPECT_LT(transactions[1], 30) << "the statements went in batches";
    EXPECT_EQ(outcomes[1].exitCode, outcomes[0].exitCode);
    EXPECT_EQ(outcomes[1].out, outcomes[0].out);
    EXPECT_EQ(outcomes[1].err, outcomes[0].err);
    EXPECT_EQ(rowsAfter[1], rowsAfter[0]);
}

TEST_F(OsqlProgramTest, ThePasswordIsNotInTheArgumentsOfTheRunningProgram)
{
    const QString marker = table_ + "_sleeps";
    const QString script = writeScript("SELECT pg_sleep(2) AS " + marker.toUtf8() + "\n");
    const QString password = testServer().password;
    QProcess process;
    // -P twice: each value is hidden (the last one is used).
    process.start(QStringLiteral(ZOBRAN_OSQL_PATH),
                  {"-U", testServer().login, "-P", "first-" + password, "-S", testServer().socketDir, "-P", password,
                   "-d", "scratch", "-i", script});
    ASSERT_NE(sessionRunning("scratch", marker), 0) << "the tool did not log in";
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(process.processId()));
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    const QList<QByteArray> arguments = cmdline.readAll().split('\0');
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    ASSERT_GE(arguments.size(), 13);
    EXPECT_EQ(arguments[4], QByteArray("first-" + password.toUtf8()).fill('x'));
    EXPECT_EQ(arguments[8], QByteArray(password.toUtf8()).fill('x'));
    EXPECT_EQ(arguments[1], "-U");
    EXPECT_EQ(arguments[12], script.toUtf8());
    for (const QByteArray& argument : arguments)
        EXPECT_FALSE(argument.contains(password.toUtf8())) << argument.toStdString();
}

} // namespace
