#include "ui/FocusKeys.h"
#include "ui/Placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zobran;

namespace {

// Enter and Up arrow as the user presses them in the focused control; the move follows once the
// control has had the key.
void press(QWidget* focused, Qt::Key key)
{
    QTest::keyClick(focused, key);
    QApplication::processEvents();
}

} // namespace

TEST(Placement, ControlsStandAtTheirTwipsWithNameCaptionAndLimit)
{
    QWidget parent;
    QPushButton* button = placeButton(&parent, "CBut_4", "&Generate Script", twipsRect(11520, 9960, 1695, 375));
    EXPECT_EQ(button->objectName(), "CBut_4");
    EXPECT_EQ(button->text(), "&Generate Script");
    EXPECT_EQ(button->geometry(), QRect(768, 664, 113, 25));
    EXPECT_FALSE(button->autoDefault()) << "Enter moves the focus; it never presses a button";

    QLineEdit* box = placeTextBox(&parent, "TxtField_8", twipsRect(1560, 360, 1455, 330), 20, TextAlign::Right);
    EXPECT_EQ(box->maxLength(), 20);
    EXPECT_TRUE(box->alignment() & Qt::AlignRight);
    EXPECT_EQ(box->geometry(), QRect(104, 24, 97, 22));

    QLabel* label = placeLabel(&parent, "Label3", "* 0 = No Limit", twipsRect(3240, 360, 1600, 330));
    setTextColor(label, Qt::blue);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(label->text(), "* 0 = No Limit");
}

TEST(FocusKeys, EnterMovesOnUpMovesBackAndTheWindowStaysOpen)
{
    QDialog window;
    auto* first = new QLineEdit(&window);
    auto* text = new QPlainTextEdit(&window);
    text->setTabChangesFocus(true);
    auto* button = new QPushButton("OK", &window);
    button->setDefault(true);
    QWidget::setTabOrder(first, text);
    QWidget::setTabOrder(text, button);
    auto* keys = new FocusKeys(&window);
    keys->selectAllOnFocus({first});
    bool pressed = false;
    QObject::connect(button, &QPushButton::clicked, [&] { pressed = true; });
    window.show();
    QApplication::setActiveWindow(&window);
    first->setFocus();
    QApplication::processEvents();

    press(first, Qt::Key_Return);
    EXPECT_EQ(window.focusWidget(), text);
    press(text, Qt::Key_Return);
    EXPECT_EQ(window.focusWidget(), button) << "Enter in a multi-line box moves on as well";
    EXPECT_FALSE(pressed);
    press(button, Qt::Key_Up);
    EXPECT_EQ(window.focusWidget(), text);
    press(text, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "Escape does not close the window";
    EXPECT_FALSE(pressed) << "Enter never presses the default button";

    first->setText("remembered");
    first->deselect();
    press(text, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(window.focusWidget(), first);
    EXPECT_EQ(first->selectedText(), "remembered") << "a box selects its whole text when it gets the focus";
}
