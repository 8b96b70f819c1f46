#include "basics/AppError.h"
#include "basics/AppPath.h"
#include "errors/ErrLogFormat.h"
#include "errors/ErrLogWriter.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace zobran {
namespace {

const ErrLogEntry LoadLTableClosed{"MDELETE", "LoadLTable", "3704", "Object is closed"};

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(ErrLogFormat, NamesTheDailyFileAndFormatsTheLine)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    EXPECT_EQ(errLogFileName(when.date()), "Err_07122026.Log");
    EXPECT_EQ(errLogLine(when, LoadLTableClosed),
              "[ZOBRAN] 07/12/26 14:05:09 Form[MDELETE] Sub[LoadLTable] Code[3704] Msg[Object is closed]");

    // Two-digit fields keep their leading zero; the clock runs to 23.
    const QDateTime early(QDate(2027, 2, 1), QTime(3, 4, 5));
    EXPECT_EQ(errLogFileName(early.date()), "Err_01022027.Log");
    EXPECT_TRUE(errLogLine(early, {}).startsWith("[ZOBRAN] 01/02/27 03:04:05 Form[] Sub[] Code[] Msg[]"));
    EXPECT_TRUE(errLogLine(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59)), {}).contains(" 23:59:59 "));
}

TEST(ErrLogFormat, OneReportIsOneLine)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    const ErrLogEntry multiLine{"MGEN", "Generate\nScript", "42",
                                "[unixODBC]ERROR: syntax error\r\nLINE 1: select\n^\rHINT\u2028end"};
    EXPECT_EQ(errLogLine(when, multiLine),
              "[ZOBRAN] 07/12/26 14:05:09 Form[MGEN] Sub[Generate Script] Code[42] "
              "Msg[[unixODBC]ERROR: syntax error LINE 1: select ^ HINT end]");
}

class ErrLogWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString logFile(const char* name) const { return folder.filePath(QStringLiteral("LOG/") + name); }

    test::ProgramFolder folder;
    const QDateTime day{QDate(2026, 12, 7), QTime(14, 5, 9)};
};

TEST_F(ErrLogWriterTest, CreatesLogFolderAndAppendsLinesOfTheSameDayInOrder)
{
    appendErrLog(LoadLTableClosed, day);
    appendErrLog({"Module1", "ConnectDSN", "-2147467259", "Größe € failed"}, day.addSecs(60));

    EXPECT_EQ(fileBytes(logFile("Err_07122026.Log")),
              "[ZOBRAN] 07/12/26 14:05:09 Form[MDELETE] Sub[LoadLTable] Code[3704] Msg[Object is closed]\r\n"
              "[ZOBRAN] 07/12/26 14:06:09 Form[Module1] Sub[ConnectDSN] Code[-2147467259] Msg[Größe € failed]\r\n");
}

TEST_F(ErrLogWriterTest, KeepsExistingLinesAndStartsANewFileAfterMidnight)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("LOG"));
    QFile existing(logFile("Err_07122026.Log"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("earlier line\r\n");
    existing.close();

    appendErrLog(LoadLTableClosed, day);
    appendErrLog(LoadLTableClosed, QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1)));

    EXPECT_TRUE(fileBytes(logFile("Err_07122026.Log")).startsWith("earlier line\r\n[ZOBRAN] 07/12/26 14:05:09 "));
    EXPECT_EQ(fileBytes(logFile("Err_07122026.Log")).count("\r\n"), 2);
    EXPECT_TRUE(fileBytes(logFile("Err_08122026.Log")).startsWith("[ZOBRAN] 08/12/26 00:00:01 "));
}

TEST_F(ErrLogWriterTest, CreatesAMissingProgramFolder)
{
    AppPath() = folder.filePath("moved/program");
    appendErrLog(LoadLTableClosed, day);
    EXPECT_TRUE(QFile::exists(folder.filePath("moved/program/LOG/Err_07122026.Log")));
}

long failureNumber(const QDateTime& when)
{
    try {
        appendErrLog(LoadLTableClosed, when);
    } catch (const AppError& e) {
        return e.number();
    }
    return 0;
}

TEST_F(ErrLogWriterTest, ReportsWhatCannotBeWritten)
{
    // LOG exists as a file, so the folder cannot be made.
    QFile blocker(folder.filePath("LOG"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(failureNumber(day), errnum::PathFileAccess);
    ASSERT_TRUE(blocker.remove());

    // The day's file is a folder, so it cannot be opened.
    ASSERT_TRUE(QDir(folder.path()).mkpath("LOG/Err_07122026.Log"));
    EXPECT_EQ(failureNumber(day), errnum::PathFileAccess);

    AppPath().clear();
    EXPECT_EQ(failureNumber(day), errnum::PathNotFound);
}

} // namespace
} // namespace zobran
