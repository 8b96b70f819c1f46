#include "app/MainMenuWindow.h"
#include "app/WorkingWindows.h"
#include "basics/AppPath.h"
#include "db/ExtraConnectionSettings.h"
#include "db/Settings.h"
#include "delete_ui/MdeleteWindow.h"
#include "generate_ui/MgenWindow.h"
#include "import_ui/TrsqlWindow.h"
#include "import_ui/TrupdateWindow.h"
#include "support/ScriptedPrompts.h"
#include "ui/ProgramWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace zobran {
namespace {

using test::PromptCall;
using test::ScriptedPrompts;

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPrompts(&scripted);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override
    {
        setPrompts(nullptr);
        window.hide();
    }

    QAction* action(const char* name) { return window.findChild<QAction*>(name); }
    QAbstractButton* button(const char* name) { return window.findChild<QAbstractButton*>(name); }
    void click(const char* name)
    {
        QAbstractButton* target = button(name);
        ASSERT_NE(target, nullptr) << name;
        QTest::mouseClick(target, Qt::LeftButton);
    }

    ScriptedPrompts scripted;
    MainMenuWindow window;
};

TEST_F(MainMenuTest, ExitIsConfirmedWhicheverWayTheWindowIsClosed)
{
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"menu entry", [&] { action("FM_Exit")->trigger(); }},
        {"picture button", [&] { click("cmdExit"); }},
        {"close box", [&] { window.windowHandle()->close(); }},
    };
    for (const auto& [way, closeWindow] : ways) {
        scripted.reset();
        scripted.answerYesNo(answer::No);
        MsgAnswer() = 0;
        closeWindow();
        EXPECT_TRUE(window.isVisible()) << way;
        EXPECT_EQ(MsgAnswer(), answer::No) << way;
        ASSERT_EQ(scripted.calls().size(), 1u) << way;
        const PromptCall& asked = scripted.calls()[0];
        EXPECT_EQ(asked.kind, PromptCall::Kind::YesNo) << way;
        EXPECT_EQ(asked.text, "Confirm To Exit ?") << way;
        EXPECT_EQ(asked.title, "Exit") << way;
        EXPECT_EQ(asked.icon, MsgIcon::Question) << way;
    }

    scripted.reset();
    scripted.answerYesNo(answer::Yes);
    click("cmdExit");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(MsgAnswer(), answer::Yes);
}

TEST_F(MainMenuTest, UnansweredExitQuestionKeepsTheProgramRunning)
{
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(scripted.unansweredCount(), 1);
}

struct WorkingWindowCase {
    const char* menuEntry;
    const char* button;
    const char* windowName;
    const char* caption;
    std::function<QDialog*()> instance;
};

TEST_F(MainMenuTest, MenuEntryAndItsButtonOpenTheSameWindowInstance)
{
    const WorkingWindowCase cases[] = {
        {"FM_GenerateScript", "cmdGenerateScript", "MGEN", "Utility - Generate Script", [] { return &mgenWindow(); }},
        {"FM_UpdateSingleDatabase", "cmdImportUpdate", "TRSQL", "ZENTRA Script Update Utility [Ver 7.0 20081111]",
         [] { return &trsqlWindow(); }},
        {"FM_UpdateMultiDatabase", "Command1", "TRUPDATE", "Script Update", [] { return &trupdateWindow(); }},
        {"FM_DeleteScript", "cmdDeleteScript", "MDELETE", "Utility - Delete Script", [] { return &mdeleteWindow(); }},
    };
    for (const WorkingWindowCase& c : cases) {
        scripted.reset();
        bool modalWhileOpen = false;
        scripted.onModal([&](QDialog& dialog) { modalWhileOpen = dialog.isModal() && dialog.isVisible(); });
        action(c.menuEntry)->trigger();
        click(c.button);

        ASSERT_EQ(scripted.modals().size(), 2u) << c.menuEntry;
        EXPECT_EQ(scripted.modals()[0].window, scripted.modals()[1].window) << c.menuEntry;
        EXPECT_EQ(scripted.modals()[0].window, c.instance()) << c.menuEntry;
        EXPECT_EQ(scripted.modals()[0].windowName, c.windowName);
        EXPECT_EQ(scripted.modals()[0].title, c.caption);
        EXPECT_EQ(scripted.modals()[0].parent, nullptr) << "opened with no owner";
        EXPECT_TRUE(modalWhileOpen) << c.menuEntry;
        EXPECT_FALSE(c.instance()->isVisible()) << c.menuEntry;
        EXPECT_EQ(scripted.callsOf(PromptCall::Kind::YesNo).size(), 0u);
    }
}

TEST_F(MainMenuTest, MenuHoldsTheEntriesInOrder)
{
    EXPECT_EQ(window.objectName(), "MAINMENU");
    EXPECT_EQ(window.windowTitle(), "Utility - Generate Script From Mdf File & Import Script to Mdf File");
    auto* file = window.findChild<QMenu*>("FM_File");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(window.menuBar()->actions().value(0), file->menuAction());

    QStringList entries;
    for (QAction* entry : file->actions())
        entries << entry->objectName() + "=" + entry->text();
    EXPECT_EQ(entries,
              QStringList({"FM_GenerateScript=Generate Script", "FM_ImportScript=Import/Update Script",
                           "FM_DeleteScript=Delete Script", "FM_ExtraSettings=Extra Connection Settings...",
                           "FM_Exit=&Exit"}));

    auto* import = window.findChild<QMenu*>("FM_ImportScript");
    ASSERT_NE(import, nullptr);
    QStringList subEntries;
    for (QAction* entry : import->actions())
        subEntries << entry->objectName() + "=" + entry->text();
    EXPECT_EQ(subEntries,
              QStringList({"FM_UpdateSingleDatabase=Single Database", "FM_UpdateMultiDatabase=Multi Database"}));

    auto* status = window.findChild<QStatusBar*>("StatusBar1");
    ASSERT_NE(status, nullptr);
    QStringList panels;
    for (QLabel* panel : status->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        panels << panel->text();
    EXPECT_EQ(panels, QStringList({"Ver. 7.0 (20091207)"}));
}

TEST_F(MainMenuTest, PictureButtonsSitSideBySideAtTheTopOfThePicturePanel)
{
    auto* picture1 = window.findChild<QWidget*>("Picture1");
    ASSERT_NE(picture1, nullptr);
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdGenerateScript", "Generate Script"},
        {"cmdImportUpdate", "Import/Update Script (Single Database)"},
        {"Command1", "Import/Update Script (Multi Database)"},
        {"cmdDeleteScript", "Delete Script"},
        {"cmdExit", "Exit"},
    };
    int left = 0;
    for (const auto& [name, caption] : buttons) {
        QAbstractButton* b = button(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->parentWidget(), picture1) << name;
        EXPECT_EQ(b->geometry(), QRect(left, 0, 97, 105)) << name;
        EXPECT_EQ(b->text(), caption);
        EXPECT_FALSE(b->icon().isNull()) << name;
        EXPECT_TRUE(b->isVisible()) << name;
        left += 96;
    }
}

TEST_F(MainMenuTest, PicturePanelTakesTheWindowsHeightOnEveryResize)
{
    auto* picture1 = window.findChild<QWidget*>("Picture1");
    ASSERT_NE(picture1, nullptr);
    for (const QSize size : {QSize(800, 600), QSize(500, 700), QSize(700, 300)}) {
        window.resize(size);
        EXPECT_EQ(picture1->geometry(), QRect(0, 0, window.width(), window.height())) << size.width();
    }
}

class CountingWindow : public ModalWindow {
public:
    static inline int loads = 0;
    static inline int instances = 0;
    CountingWindow() { ++instances; }

protected:
    void formLoad() override { ++loads; }
};

TEST(ProgramWindow, OneInstanceCreatedOnFirstUseAndLoadedAtEveryOpening)
{
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    CountingWindow& first = programWindow<CountingWindow>();
    first.showModal();
    CountingWindow& second = programWindow<CountingWindow>();
    second.showModal();
    setPrompts(nullptr);

    EXPECT_EQ(&first, &second);
    EXPECT_EQ(CountingWindow::instances, 1);
    EXPECT_EQ(CountingWindow::loads, 2);

    destroyProgramWindows();
    programWindow<CountingWindow>();
    EXPECT_EQ(CountingWindow::instances, 2) << "a destroyed instance is made again on next use";
}

TEST_F(MainMenuTest, ExtraConnectionSettingsAreAskedForPerServerAndRefusedOnesAskedAgain)
{
    SaveSetting(SettingsApplication, SettingsSection, settingkeys::Server.writtenAs, "db1,1433");
    db::rememberExtraSettings("db1,1433", "Encrypt=yes");

    scripted.answerInput(QString("db1,1433"));
    scripted.answerInput(QString("Encrypt=yes;Server=evil"));
    scripted.answerInput(QString("Encrypt=yes;TrustServerCertificate=yes"));
    action("FM_ExtraSettings")->trigger();

    const auto inputs = scripted.callsOf(PromptCall::Kind::Input);
    ASSERT_EQ(inputs.size(), 3u);
    EXPECT_EQ(inputs[0].defaultText, "db1,1433") << "the remembered server is offered";
    EXPECT_EQ(inputs[1].defaultText, "Encrypt=yes") << "the server's settings are offered";
    EXPECT_EQ(inputs[1].title, "Extra Connection Settings");
    EXPECT_EQ(inputs[2].defaultText, "Encrypt=yes;Server=evil") << "the refused text is offered again";
    ASSERT_EQ(scripted.messages().size(), 1u);
    EXPECT_TRUE(scripted.messages()[0].text.contains("\"Server\" is not allowed"));
    EXPECT_EQ(scripted.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(db::rememberedExtraSettings("db1,1433"), "Encrypt=yes;TrustServerCertificate=yes");

    // Cancelling leaves them as they are.
    scripted.reset();
    scripted.answerInput(QString("db1,1433"));
    scripted.answerInput(std::nullopt);
    action("FM_ExtraSettings")->trigger();
    EXPECT_EQ(db::rememberedExtraSettings("db1,1433"), "Encrypt=yes;TrustServerCertificate=yes");
    db::rememberExtraSettings("db1,1433", "");
}

} // namespace
} // namespace zobran
