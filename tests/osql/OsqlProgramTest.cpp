// The OSQL program as the import windows' batch file runs it, against the test server.

#include "QStringPrinting.h"
#include "support/TestServer.h"

#include "db/Connection.h"
#include "db/ResultSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

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

} // namespace
