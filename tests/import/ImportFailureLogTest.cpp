#include "ImportTestSupport.h"

#include "import/BatchRunResult.h"
#include "import/ImportFailureLog.h"
#include "import/KxFileImport.h"

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::test;

namespace {

class ImportFailureLogTest : public ::testing::Test {
protected:
    QStringList logLines() const
    {
        QStringList lines = QString::fromUtf8(readBytes(ImportFailureLog::logFilePath())).split("\r\n");
        lines.removeAll(QString());
        return lines;
    }

    StandInProgramFolder program;
};

} // namespace

TEST_F(ImportFailureLogTest, EachFailureIsOneLogLineAndCounted)
{
    ImportFailureLog log("TRSQL");
    EXPECT_FALSE(log.anyLogged());
    EXPECT_EQ(failureSummary(log), "");

    log.statementFailed(KxStatementFailure{"/x/a.kx", 7, "INSERT", AppError(208, "42P01: first\nsecond")});
    BatchRunResult run;
    run.started = true;
    run.exitStatus = 1;
    run.output = "Msg 1\r\nMsg 2\n";
    log.osqlFileFailed("/x/b.sql", run);
    log.kxFileFailed("/x/c.kx", AppError(53, "File not found: /x/c.kx"));
    EXPECT_EQ(log.failedStatements(), 1);
    EXPECT_EQ(log.failedFiles(), 2);

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(
        lines[0].endsWith(" Form[TRSQL] Sub[ImportKXFile] Code[208] Msg[42P01: first | second [/x/a.kx, line 7]]"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(
        " Form[TRSQL] Sub[RunBatchAndWait] Code[1] Msg[OSQL ended with exit status 1 [/x/b.sql]: Msg 1 | Msg 2]"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" Form[TRSQL] Sub[ImportKXFile] Code[53] Msg[File not found: /x/c.kx [/x/c.kx]]"))
        << lines[2].toStdString();
    EXPECT_EQ(failureSummary(log),
              "2 script file(s) failed.\n1 statement(s) of KX files failed.\n"
              "The details are in the daily error log:\n"
                  + ImportFailureLog::logFilePath());
}

TEST_F(ImportFailureLogTest, ALogThatCannotBeWrittenIsToldInTheSummary)
{
    writeBytes(program.path("LOG"), "a file where the folder should be");
    ImportFailureLog log("TRUPDATE");
    log.databaseNotOpened("shop_09", AppError(-1, "no such database"));
    EXPECT_TRUE(log.anyLogged());
    EXPECT_TRUE(failureSummary(log).startsWith("The daily error log could not be written: "))
        << failureSummary(log).toStdString();
}
