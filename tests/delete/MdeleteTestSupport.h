#pragma once

#include "db/ResultSet.h"
#include "db/Settings.h"
#include "delete_ui/MdeleteWindow.h"
#include "support/WindowTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>

namespace zobran::test {

// The Delete Script window over a private database of the test process (a copy of the empty
// template). Every table a test makes carries the prefix "del_<pid>_" and is dropped again.
class MdeleteWindowTest : public WindowTest<MdeleteWindow> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        rememberTestServer(database());
    }

    void TearDown() override
    {
        for (const QString& name : made)
            setup().execute("drop table if exists " + quoted(name));
        WindowTest::TearDown();
    }

    static QString own(const QString& name)
    {
        return QStringLiteral("del_%1_").arg(QCoreApplication::applicationPid()) + name;
    }
    static QString quoted(const QString& name) { return '"' + QString(name).replace('"', "\"\"") + '"'; }

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
    static QStringList statements(MdeleteWindow& w) { return texts(child<QListWidget>(w, QStringLiteral("LDelete"))); }

    QString exportPath(const QString& fileName) const { return program.path() + "/Export/" + fileName; }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // A script file written as another program would have written it.
    QString writeScript(const QString& fileName, const QByteArray& bytes) const
    {
        QDir(program.path()).mkpath("Export");
        QFile file(exportPath(fileName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QStringList made;
};

} // namespace zobran::test
