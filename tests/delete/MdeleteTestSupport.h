#pragma once

#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "delete_ui/MdeleteWindow.h"
#include "support/ProgramFolder.h"
#include "support/RunWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace zobran::test {

// The Delete Script window over a private database of the test process (a copy of the empty
// template), with scripted prompts and a program folder of its own. Every table a test makes
// carries the prefix "del_<pid>_" and is dropped again.
class MdeleteWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPrompts(&scripted);
        rememberTestServer(database());
    }

    void TearDown() override
    {
        for (const QString& name : made)
            setup().execute("drop table if exists " + quoted(name));
        SharedConnection().reset();
        setPrompts(nullptr);
    }

    static QString database() { return privateDatabase(DatabaseTemplate::Empty); }

    static QString own(const QString& name)
    {
        return QStringLiteral("del_%1_").arg(QCoreApplication::applicationPid()) + name;
    }
    static QString quoted(const QString& name) { return '"' + QString(name).replace('"', "\"\"") + '"'; }

    db::Connection& setup()
    {
        if (!setupConnection.isOpen())
            setupConnection.open(testConnectionString(database()));
        return setupConnection;
    }

    // A table of the test's own with the given number of rows; returns its name.
    QString makeTable(const QString& name, int rows)
    {
        const QString table = own(name);
        setup().execute("drop table if exists " + quoted(table));
        setup().execute("create table " + quoted(table) + " as select g as id from generate_series(1, "
                        + QString::number(rows) + ") g");
        made << table;
        return table;
    }

    long rowCount(const QString& table)
    {
        db::ResultSet count;
        count.open("select count(*) from " + quoted(table), setup());
        return std::stol(std::string(count.value(0)));
    }

    void withWindow(const std::function<void(MdeleteWindow&)>& body)
    {
        scripted.onModal([&](QDialog& dialog) { body(static_cast<MdeleteWindow&>(dialog)); });
        window.showModal();
    }

    template <class T>
    static T* child(MdeleteWindow& w, const QString& name)
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    static QLineEdit* field(MdeleteWindow& w, int i)
    {
        return child<QLineEdit>(w, QStringLiteral("TxtField_%1").arg(i));
    }
    static QPushButton* button(MdeleteWindow& w, const QString& name) { return child<QPushButton>(w, name); }
    static void click(MdeleteWindow& w, const QString& name)
    {
        QTest::mouseClick(button(w, name), Qt::LeftButton);
        settle(&w);
    }
    static QTreeWidget* tables(MdeleteWindow& w) { return child<QTreeWidget>(w, QStringLiteral("LV1")); }

    static QStringList listed(MdeleteWindow& w, bool tickedOnly = false)
    {
        QStringList names;
        for (int i = 0; i < tables(w)->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tables(w)->topLevelItem(i);
            if (!tickedOnly || item->checkState(0) == Qt::Checked)
                names << item->text(0);
        }
        return names;
    }
    static QStringList ownListed(MdeleteWindow& w, bool tickedOnly = false)
    {
        return listed(w, tickedOnly).filter(own(QString()));
    }
    static void tick(MdeleteWindow& w, const QString& table)
    {
        const QList<QTreeWidgetItem*> items = tables(w)->findItems(table, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << table.toStdString();
        items.first()->setCheckState(0, Qt::Checked);
    }
    static QStringList statements(MdeleteWindow& w)
    {
        auto* list = child<QListWidget>(w, QStringLiteral("LDelete"));
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

    QString exportPath(const QString& fileName) const { return programFolder.path() + "/Export/" + fileName; }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // A script file written as another program would have written it.
    QString writeScript(const QString& fileName, const QByteArray& bytes) const
    {
        QDir(programFolder.path()).mkpath("Export");
        QFile file(exportPath(fileName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    int errorWindowsShown() const
    {
        int shown = 0;
        for (const PromptCall& call : scripted.modals())
            shown += call.windowName == QStringLiteral("TRERR") ? 1 : 0;
        return shown;
    }

    // The operation named by the next error window shown.
    void captureErrorSub(QString& sub)
    {
        scripted.onModal([&sub](QDialog& d) { sub = d.findChild<QLabel*>("ErrSub")->text(); });
    }

    ProgramFolder programFolder;
    ScriptedPrompts scripted;
    MdeleteWindow window;
    db::Connection setupConnection;
    QStringList made;
};

} // namespace zobran::test
