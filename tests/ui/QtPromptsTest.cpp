#include "ui/QtPrompts.h"
#include "basics/AppPath.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace zobran {
namespace {

// Runs `act` on the real dialog as soon as it is open, the way a user would answer it.
void whenDialogOpens(std::function<void(QWidget&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start();
}

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

SeenBox inspect(QWidget& widget)
{
    SeenBox seen;
    auto* box = qobject_cast<QMessageBox*>(&widget);
    if (!box)
        return seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons())
        seen.buttons << button->text().remove(QLatin1Char('&'));
    seen.buttons.sort();
    return seen;
}

void clickButton(QWidget& widget, QMessageBox::StandardButton which)
{
    auto* box = qobject_cast<QMessageBox*>(&widget);
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

TEST(QtPrompts, YesNoQuestionShowsTitleTextIconAndAnswersSixOrSeven)
{
    QtPrompts qt;
    SeenBox seen;
    whenDialogOpens([&](QWidget& box) {
        seen = inspect(box);
        clickButton(box, QMessageBox::Yes);
    });
    EXPECT_EQ(qt.askYesNo(nullptr, "Confirm To Exit ?", "Exit", MsgIcon::Question), answer::Yes);
    EXPECT_EQ(seen.title, "Exit");
    EXPECT_EQ(seen.text, "Confirm To Exit ?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QStringList({"No", "Yes"}));

    whenDialogOpens([](QWidget& box) { clickButton(box, QMessageBox::No); });
    EXPECT_EQ(qt.askYesNo(nullptr, "Confirm To Exit ?", "Exit", MsgIcon::Question), answer::No);

    // Escape (like the close box) is a No, never a Yes.
    whenDialogOpens([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(qt.askYesNo(nullptr, "Delete ?", "Question", MsgIcon::Question), answer::No);
}

TEST(QtPrompts, MessageShowsTheAskedIconWithOnlyAnOkButton)
{
    QtPrompts qt;
    const std::pair<MsgIcon, QMessageBox::Icon> icons[] = {{MsgIcon::Critical, QMessageBox::Critical},
                                                           {MsgIcon::Exclamation, QMessageBox::Warning},
                                                           {MsgIcon::Information, QMessageBox::Information}};
    for (const auto& [asked, shown] : icons) {
        SeenBox seen;
        whenDialogOpens([&](QWidget& box) {
            seen = inspect(box);
            clickButton(box, QMessageBox::Ok);
        });
        qt.message(nullptr, "Invalid Server Name !!!", "Message", asked);
        EXPECT_EQ(seen.icon, shown);
        EXPECT_EQ(seen.title, "Message");
        EXPECT_EQ(seen.text, "Invalid Server Name !!!");
        EXPECT_EQ(seen.buttons, QStringList({"OK"}));
    }
}

TEST(QtPrompts, InputBoxOffersTheDefaultAndReturnsNothingWhenCancelled)
{
    QtPrompts qt;
    QString seenTitle;
    QString seenDefault;
    whenDialogOpens([&](QWidget& widget) {
        auto* box = qobject_cast<QInputDialog*>(&widget);
        ASSERT_NE(box, nullptr);
        seenTitle = box->windowTitle();
        seenDefault = box->textValue();
        box->setTextValue("ScriptA");
        box->accept();
    });
    EXPECT_EQ(qt.inputBox(nullptr, "File Name", "Save", "Delete01"), std::optional<QString>("ScriptA"));
    EXPECT_EQ(seenTitle, "Save");
    EXPECT_EQ(seenDefault, "Delete01");

    whenDialogOpens([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(qt.inputBox(nullptr, "File Name", "Save", "Delete01"), std::nullopt);
}

TEST(PromptsSeam, InstalledPromptsAreUsedUntilRemoved)
{
    test::ScriptedPrompts scripted;
    setPrompts(&scripted);
    EXPECT_EQ(&prompts(), &scripted);
    setPrompts(nullptr);
    EXPECT_NE(dynamic_cast<QtPrompts*>(&prompts()), nullptr);
}

} // namespace
} // namespace zobran
