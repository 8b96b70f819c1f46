#pragma once

#include "db/Connection.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "generate_ui/MgenWindow.h"
#include "import/KxStatementReader.h"
#include "support/ProgramFolder.h"
#include "support/RunWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace zobran::test {

// ---- reading script files back ----

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The lines of a script file: every line of the program's files ends with CR LF.
inline QStringList crlfLines(const QByteArray& bytes)
{
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(bytes).split("\r\n");
    lines.removeLast();
    return lines;
}

// The statements of an SQL file, as a script runner reads them: a statement begins on a line that
// starts with "INSERT INTO <table> " and runs on over the following lines, line ends included.
inline QStringList sqlStatements(const QByteArray& bytes, const QString& table)
{
    QStringList statements;
    const QString start = "INSERT INTO " + table + " ";
    for (const QString& line : QString::fromUtf8(bytes).split("\r\n")) {
        if (line.startsWith(start))
            statements << line;
        else if (!statements.isEmpty())
            statements.last() += "\r\n" + line;
    }
    if (!statements.isEmpty() && statements.last().endsWith("\r\n"))
        statements.last().chop(2);
    return statements;
}

// The statements of a KX file as a reader gets them: lines end at CR or CR LF. The program's reader
// keeps the blanks at the start of a line; other readers drop them (dropLeadingBlanks).
inline QStringList kxStatements(const QByteArray& bytes, bool dropLeadingBlanks = false)
{
    QString text = QString::fromUtf8(bytes);
    text.replace("\r\n", "\r");
    QStringList lines = text.split('\r');
    lines.removeLast();
    KxStatementReader reader;
    QStringList statements;
    for (const QString& line : lines) {
        qsizetype blanks = 0;
        while (dropLeadingBlanks && blanks < line.size() && line[blanks] == QLatin1Char(' '))
            ++blanks;
        if (const QString* statement = reader.feedLine(QStringView(line).mid(blanks)))
            statements << *statement;
    }
    return statements;
}

// The Generate Script window opened over a private database of the test server (catalog views, no
// tables), with scripted prompts, a program folder of its own and remembered values that point at
// the server.
class MgenWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programFolder.isValid());
        setPrompts(&scripted);
        rememberTestServer(database());
    }

    void TearDown() override
    {
        SharedConnection().reset();
        setPrompts(nullptr);
    }

    virtual QString database() const { return privateDatabase(); }

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
    static void click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        settle(button);
    }

    static void pickTable(MgenWindow& w, const QString& table, bool doubleClick)
    {
        auto* list = child<QListWidget>(w, QStringLiteral("LTable"));
        const QList<QListWidgetItem*> items = list->findItems(table, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << table.toStdString();
        list->setCurrentItem(items.first());
        if (doubleClick)
            emit list->itemDoubleClicked(items.first());
        settle(list);
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
