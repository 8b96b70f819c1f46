#pragma once

#include "db/Connection.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "generate_ui/MgenWindow.h"
#include "import/KxStatementReader.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

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
// tables), with remembered values that point at the server.
class MgenWindowTest : public WindowTest<MgenWindow> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.isValid());
        WindowTest::SetUp();
        rememberTestServer(database());
    }

    static QPushButton* cBut(MgenWindow& w, int i) { return child<QPushButton>(w, QStringLiteral("CBut_%1").arg(i)); }

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
        return QDir(program.path() + QStringLiteral("/Export")).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace zobran::test
