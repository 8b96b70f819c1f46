#pragma once

#include "db/Connection.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "generate/MgenWindow.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace zobran::test {

// The Generate Script window opened over a private database of the test server (catalog views, no
// tables), with scripted prompts, a program folder of its own and remembered values that point at
// the server.
class MgenWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programFolder.isValid());
        setPrompts(&scripted);
        remember(database());
    }

    void TearDown() override
    {
        SharedConnection().reset();
        setPrompts(nullptr);
    }

    virtual QString database() const { return privateDatabase(); }

    static void remember(const QString& database)
    {
        const TestServer& server = testServer();
        SaveSetting(SettingsApplication, SettingsSection, settingkeys::Server.writtenAs, server.socketDir);
        SaveSetting(SettingsApplication, SettingsSection, settingkeys::Database.writtenAs, database);
        SaveSetting(SettingsApplication, SettingsSection, settingkeys::Login.writtenAs, server.login);
        SaveSetting(SettingsApplication, SettingsSection, settingkeys::Password.writtenAs, server.password);
    }

    // Opens the window, runs the body while it is open, then closes it as the user would.
    void withWindow(const std::function<void(MgenWindow&)>& body)
    {
        scripted.onModal([&](QDialog& dialog) { body(static_cast<MgenWindow&>(dialog)); });
        window.showModal();
    }

    // A connection of the test's own, to prepare tables.
    db::Connection& setup()
    {
        if (!setupConnection.isOpen())
            setupConnection.open(testConnectionString(database()));
        return setupConnection;
    }

    template <class T>
    static T* child(MgenWindow& w, const QString& name)
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    static QLineEdit* field(MgenWindow& w, int i) { return child<QLineEdit>(w, QStringLiteral("TxtField_%1").arg(i)); }
    static QPushButton* cBut(MgenWindow& w, int i) { return child<QPushButton>(w, QStringLiteral("CBut_%1").arg(i)); }
    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    static void pickTable(MgenWindow& w, const QString& table, bool doubleClick)
    {
        auto* list = child<QListWidget>(w, QStringLiteral("LTable"));
        const QList<QListWidgetItem*> items = list->findItems(table, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << table.toStdString();
        list->setCurrentItem(items.first());
        if (doubleClick)
            emit list->itemDoubleClicked(items.first());
    }

    static void addQuery(MgenWindow& w, const QString& sql, const QString& table)
    {
        child<QPlainTextEdit>(w, QStringLiteral("SQLField"))->setPlainText(sql);
        child<QLineEdit>(w, QStringLiteral("TblName"))->setText(table);
        click(cBut(w, MgenWindow::AddQueryButton));
    }

    QStringList exportFiles() const
    {
        return QDir(programFolder.path() + QStringLiteral("/Export")).entryList(QDir::Files, QDir::Name);
    }

    ProgramFolder programFolder;
    ScriptedPrompts scripted;
    MgenWindow window;
    db::Connection setupConnection;
};

} // namespace zobran::test
