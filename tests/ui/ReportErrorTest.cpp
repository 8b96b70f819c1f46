#include "ui/ReportError.h"
#include "errors/ErrorReport.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedPrompts.h"
#include "ui/ErrorWindow.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace zobran {
namespace {

using test::PromptCall;
using test::ScriptedPrompts;

struct ShownFields {
    QString code, text, form, sub;
    QString logTrouble; // what the window says of the log, when it says something
    ErrorReport reportWhileShown;
    QByteArray logWhileShown;
};

class ReportErrorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        setPrompts(&scripted);
    }
    void TearDown() override
    {
        setPrompts(nullptr);
        ErrReport() = {};
    }

    QString todaysLog() const { return folder.filePath("LOG/" + errLogFileName(QDate::currentDate())); }
    QByteArray logBytes() const
    {
        QFile file(todaysLog());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Reads the error window while it is open; `close` closes it the way the user chooses.
    void readNextErrorWindow(ShownFields& shown, std::function<void(QDialog&)> close = {})
    {
        scripted.onModal([this, &shown, close](QDialog& window) {
            shown.code = window.findChild<QLabel*>("ErrCode")->text();
            shown.text = window.findChild<QPlainTextEdit*>("ErrTxt")->toPlainText();
            shown.form = window.findChild<QLabel*>("ErrForm")->text();
            shown.sub = window.findChild<QLabel*>("ErrSub")->text();
            const QLabel* trouble = window.findChild<QLabel*>("LogTrouble");
            shown.logTrouble = trouble->isVisible() ? trouble->text() : QString();
            shown.reportWhileShown = ErrReport();
            shown.logWhileShown = logBytes();
            if (close)
                close(window);
        });
    }

    test::ProgramFolder folder;
    ScriptedPrompts scripted;
};

TEST_F(ReportErrorTest, ShowsTheReportLogsItAndEmptiesItWhenClosed)
{
    ShownFields shown;
    readNextErrorWindow(shown);
    ReportError("MDELETE", "LoadLTable", AppError(3704, "Operation is not allowed when the object is closed."));

    EXPECT_EQ(shown.code, "3704");
    EXPECT_EQ(shown.text, "Operation is not allowed when the object is closed.");
    EXPECT_EQ(shown.form, "MDELETE");
    EXPECT_EQ(shown.sub, "LoadLTable");
    EXPECT_EQ(shown.reportWhileShown.ErrNum, "3704");
    EXPECT_EQ(shown.reportWhileShown.ErrSubName, "LoadLTable");
    // The line is in the log before the user has closed the window.
    EXPECT_TRUE(shown.logWhileShown.endsWith(
        " Form[MDELETE] Sub[LoadLTable] Code[3704] Msg[Operation is not allowed when the object is closed.]\r\n"));
    EXPECT_TRUE(shown.logWhileShown.startsWith("[ZOBRAN] "));

    ASSERT_EQ(scripted.modals().size(), 1u);
    EXPECT_EQ(scripted.modals()[0].windowName, "TRERR");
    EXPECT_EQ(scripted.modals()[0].title, "Error Message");
    EXPECT_EQ(scripted.modals()[0].window, &errorWindow());
    EXPECT_TRUE(ErrReport().isEmpty());
    EXPECT_FALSE(errorWindow().isVisible());
}

TEST_F(ReportErrorTest, EveryWayOfClosingTheWindowEmptiesTheReport)
{
    const std::pair<const char*, std::function<void(QDialog&)>> ways[] = {
        {"close button", [](QDialog& w) { QTest::mouseClick(w.findChild<QPushButton*>("CClose"), Qt::LeftButton); }},
        {"Escape", [](QDialog& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
        {"close box", [](QDialog& w) { w.windowHandle()->close(); }},
    };
    for (const auto& [way, close] : ways) {
        ShownFields shown;
        bool closedByUser = false;
        readNextErrorWindow(shown, [&closedByUser, close](QDialog& w) {
            close(w);
            closedByUser = !w.isVisible();
        });
        ReportError("MGEN", arrayClickName("CBut& ", 4), AppError(5, "Invalid procedure call"));
        EXPECT_TRUE(closedByUser) << way;
        EXPECT_EQ(shown.sub, "CBut& 4_Click") << way;
        EXPECT_TRUE(ErrReport().isEmpty()) << way;
    }
}

TEST_F(ReportErrorTest, NoConnectionNumbersAtUnloadFillTheReportButShowNothing)
{
    for (long number : {91L, 3704L}) {
        ReportError("MGEN", "Form_Unload", AppError(number, "closed"), ReportMode::QuietWhenNoConnection);
        EXPECT_EQ(ErrReport().ErrNum, QString::number(number));
        EXPECT_EQ(ErrReport().ErrFormName, "MGEN");
        EXPECT_EQ(ErrReport().ErrSubName, "Form_Unload");
        EXPECT_EQ(ErrReport().ErrDesc, "closed");
    }
    EXPECT_TRUE(scripted.modals().empty());
    EXPECT_FALSE(QFile::exists(todaysLog()));

    // Any other failure at unload is shown, and 91 is shown where the quiet mode is not asked for.
    ReportError("MDELETE", "Form_Unload", AppError(-2147217900, "Syntax error"), ReportMode::QuietWhenNoConnection);
    ReportError("Module1", "ConnectDSN", AppError(91, "Object variable not set"));
    ASSERT_EQ(scripted.modals().size(), 2u);
    EXPECT_EQ(logBytes().count("\r\n"), 2);
    EXPECT_TRUE(logBytes().contains("Form[Module1] Sub[ConnectDSN] Code[91] Msg[Object variable not set]"));
}

TEST_F(ReportErrorTest, OneErrorWindowLoadedAnewForEachReport)
{
    ShownFields first, second;
    readNextErrorWindow(first);
    readNextErrorWindow(second);
    ReportError("MDELETE", arrayClickName("CConnect& ", 0), AppError(53, "File not found"));
    ReportError("MDELETE", arrayClickName("CConnect& ", 1), AppError(75, "Path/File access error"));

    EXPECT_EQ(first.sub, "CConnect& 0_Click");
    EXPECT_EQ(second.sub, "CConnect& 1_Click");
    EXPECT_EQ(second.code, "75");
    ASSERT_EQ(scripted.modals().size(), 2u);
    EXPECT_EQ(scripted.modals()[0].window, scripted.modals()[1].window);
}

QStringList warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        warnings << message;
}

TEST_F(ReportErrorTest, ReportIsStillShownWhenTheLogCannotBeWritten)
{
    QFile blocker(folder.filePath("LOG"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    ShownFields shown;
    readNextErrorWindow(shown);
    ReportError("MGEN", "GenerateScript", AppError(3704, "closed"));
    qInstallMessageHandler(previous);

    EXPECT_EQ(shown.code, "3704");
    EXPECT_EQ(shown.text, "closed");
    // The window itself says so, once, under the report.
    EXPECT_TRUE(shown.logTrouble.startsWith("This report could not be written to the daily error log: "
                                            "Path/File access error: "
                                            + folder.filePath("LOG")))
        << shown.logTrouble.toStdString();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("75")) << warnings[0].toStdString();
    EXPECT_TRUE(ErrReport().isEmpty());

    // Once the log can be written again, the next report says nothing of it.
    QFile::remove(folder.filePath("LOG"));
    readNextErrorWindow(shown);
    ReportError("MGEN", "GenerateScript", AppError(3704, "closed"));
    EXPECT_EQ(shown.logTrouble, "");
    EXPECT_EQ(logBytes().count("\r\n"), 1);
}

TEST_F(ReportErrorTest, GuardedOperationIsLeftAtTheFailureAndTheCallerCarriesOn)
{
    ShownFields shown;
    readNextErrorWindow(shown);
    bool afterFailure = false;
    const bool completed = runGuarded("Module1", "ConnectDSN", [&] {
        throw std::runtime_error("driver refused");
        afterFailure = true;
    });
    EXPECT_FALSE(completed);
    EXPECT_FALSE(afterFailure);
    EXPECT_EQ(shown.form, "Module1");
    EXPECT_EQ(shown.sub, "ConnectDSN");
    EXPECT_EQ(shown.text, "driver refused");
}

TEST(ErrorWindowLayout, ShowsTheFixedTextsInAFixedSizeWindow)
{
    ErrorWindow window;
    EXPECT_EQ(window.size(), QSize(480, 340));
    const std::pair<const char*, const char*> texts[] = {
        {"Label3", "Sorry for the inconvenience,The program has encountered an error while executing certain task,"},
        {"Label4", "Note down the below error code and message and contact your system support."},
        {"Label1", "Error Code"},
        {"Label2", "Message"},
        {"Label6", "Form"},
        {"Label5", "Sub"},
    };
    for (const auto& [name, text] : texts) {
        auto* label = window.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), text);
    }
    EXPECT_EQ(window.findChild<QPushButton*>("CClose")->text(), "&Close");
    EXPECT_TRUE(window.findChild<QPlainTextEdit*>("ErrTxt")->isReadOnly());
}

} // namespace
} // namespace zobran
