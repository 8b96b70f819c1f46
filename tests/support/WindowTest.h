#pragma once

#include "db/Connection.h"
#include "db/SharedConnections.h"
#include "support/ControlSnapshot.h"
#include "support/ProgramFolder.h"
#include "support/RunWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace zobran::test {

// The harness of the window tests: one of the program's windows (Window), built once in a program
// folder of the test's own (Folder: the plain one, or the import tests' folder with a stand-in for
// the script tool), with scripted prompts, opened and closed as the user does and waited for with
// settle() while its runs go. The shared connections are dropped when the test ends.
template <class Window, class Folder = ProgramFolder>
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { setPrompts(&scripted); }

    void TearDown() override
    {
        SharedConnection().reset();
        ImportConnection().reset();
        setPrompts(nullptr);
    }

    // Opens the window, runs the body while it is open, then closes it as the user would.
    void withWindow(const std::function<void(Window&)>& body)
    {
        scripted.onModal([&](QDialog& dialog) { body(static_cast<Window&>(dialog)); });
        window.showModal();
    }

    // Opens the window twice, changing every control in between: the second opening shows what the
    // first showed (restarting a run of the window's own does not count).
    void expectEveryOpeningStartsAlike()
    {
        QStringList first;
        withWindow([&](Window& w) {
            first = controlSnapshot(w);
            scribbleOnControls(w);
            EXPECT_NE(controlSnapshot(w), first) << "nothing was changed";
        });
        withWindow([&](Window& w) { EXPECT_EQ(controlSnapshot(w), first); });
    }

    // The test's own database on the test server (a private one unless a test names another), and
    // a connection of the test's own to it, to prepare and check tables.
    virtual QString database() const { return privateDatabase(); }
    db::Connection& setup()
    {
        if (!setupConnection.isOpen())
            setupConnection.open(testConnectionString(database()));
        return setupConnection;
    }

    template <class T>
    static T* child(Window& w, const QString& name)
    {
        T* found = w.template findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    static QLineEdit* box(Window& w, const QString& name) { return child<QLineEdit>(w, name); }
    // The windows' array of text boxes: TxtField_0 to TxtField_8.
    static QLineEdit* field(Window& w, int i) { return box(w, QStringLiteral("TxtField_%1").arg(i)); }
    static QPushButton* button(Window& w, const QString& name) { return child<QPushButton>(w, name); }

    // Clicks and waits until the run the click started (if any) has ended and shown its end.
    static void click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        settle(button);
    }
    static void click(Window& w, const QString& name) { click(button(w, name)); }

    static QStringList texts(const QListWidget* list)
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->item(i)->text();
        return result;
    }
    // Selects exactly the named entries of a list.
    static void select(QListWidget* list, const QStringList& names)
    {
        list->clearSelection();
        for (const QString& name : names) {
            const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            found.first()->setSelected(true);
        }
    }

    // How many error windows have been shown, and the operation the next one names.
    int errorWindowsShown() const
    {
        int shown = 0;
        for (const PromptCall& call : scripted.modals())
            shown += call.windowName == QStringLiteral("TRERR") ? 1 : 0;
        return shown;
    }
    void captureErrorSub(QString& sub)
    {
        scripted.onModal([&sub](QDialog& d) { sub = d.findChild<QLabel*>("ErrSub")->text(); });
    }

    Folder program;
    ScriptedPrompts scripted;
    Window window;
    db::Connection setupConnection;
};

} // namespace zobran::test
