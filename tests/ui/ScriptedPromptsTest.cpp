#include "support/ScriptedPrompts.h"
#include "basics/AppPath.h"
#include "ui/ModalWindow.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace zobran {
namespace {

using test::PromptCall;
using test::ScriptedPrompts;

class CountingWindow : public ModalWindow {
public:
    int loads = 0;
    int unloads = 0;

protected:
    void formLoad() override { ++loads; }
    void formUnload() override { ++unloads; }
};

TEST(ScriptedPrompts, AnswersInOrderAndRecordsWhatWasAsked)
{
    ScriptedPrompts scripted;
    scripted.answerYesNo(answer::Yes);
    scripted.answerYesNo(answer::No);
    scripted.answerInput(QString("abc"));
    scripted.answerInput(std::nullopt);
    scripted.answerFile("/tmp/a.sql");

    EXPECT_EQ(scripted.askYesNo(nullptr, "Q1", "Question", MsgIcon::Question), answer::Yes);
    EXPECT_EQ(scripted.askYesNo(nullptr, "Q2", "Question", MsgIcon::Question), answer::No);
    EXPECT_EQ(scripted.inputBox(nullptr, "Name", "Save", "d"), std::optional<QString>("abc"));
    EXPECT_EQ(scripted.inputBox(nullptr, "Name", "Save", "d"), std::nullopt);
    EXPECT_EQ(scripted.openFileName(nullptr, "Open", "/tmp", "*.sql"), "/tmp/a.sql");
    scripted.message(nullptr, "Invalid Server Name !!!", "Message", MsgIcon::Critical);

    EXPECT_TRUE(scripted.allAnswersUsed());
    EXPECT_EQ(scripted.unansweredCount(), 0);
    EXPECT_TRUE(scripted.wasShown("Invalid Server Name !!!", "Message", MsgIcon::Critical));
    EXPECT_FALSE(scripted.wasShown("Invalid Server Name !!!", "Message", MsgIcon::Exclamation));
    ASSERT_EQ(scripted.calls().size(), 6u);
    EXPECT_EQ(scripted.calls()[2].defaultText, "d");
    EXPECT_EQ(scripted.calls()[4].filter, "*.sql");
}

TEST(ScriptedPrompts, UnexpectedQuestionsAreRecordedAsUnansweredAndDeclined)
{
    ScriptedPrompts scripted;
    EXPECT_EQ(scripted.askYesNo(nullptr, "Sure ?", "Question", MsgIcon::Question), answer::No);
    EXPECT_EQ(scripted.inputBox(nullptr, "Name", "Save", "x"), std::nullopt);
    EXPECT_EQ(scripted.saveFileName(nullptr, "Save", "/tmp", "*.sql"), QString());
    EXPECT_EQ(scripted.unansweredCount(), 3);
}

TEST(ScriptedPrompts, ModalWindowIsHandedToItsHandlerThenClosedAsTheUserWould)
{
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    CountingWindow window;
    window.setObjectName("COUNTER");
    window.setWindowTitle("Counter");
    bool visibleInside = false;
    scripted.onModal([&](QDialog& dialog) { visibleInside = dialog.isVisible(); });
    window.showModal();
    // With no handler queued the window is simply closed again.
    window.showModal();
    // A handler that closes the window itself is not overridden.
    scripted.onModal([](QDialog& dialog) { dialog.accept(); });
    EXPECT_EQ(window.showModal(), QDialog::Accepted);
    setPrompts(nullptr);

    EXPECT_TRUE(visibleInside);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.loads, 3);
    EXPECT_EQ(window.unloads, 3);
    ASSERT_EQ(scripted.modals().size(), 3u);
    EXPECT_EQ(scripted.modals()[0].window, &window);
    EXPECT_EQ(scripted.modals()[0].windowName, "COUNTER");
    EXPECT_EQ(scripted.modals()[0].title, "Counter");
}

} // namespace
} // namespace zobran
