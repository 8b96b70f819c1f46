#pragma once

#include "ImportTestSupport.h"

#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "import/ImportFailureLog.h"
#include "support/RunWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <stdexcept>

namespace zobran::test {

// The rows of a query, each row's values joined by "|", NULL as "<null>".
inline QStringList rowsOf(db::Connection& connection, const QString& sql)
{
    db::ResultSet set;
    set.open(sql, connection);
    QStringList rows;
    for (set.moveFirst(); !set.eof(); set.moveNext()) {
        QStringList values;
        for (int i = 0; i < set.fieldCount(); ++i)
            values << (set.isNull(i) ? QStringLiteral("<null>")
                                     : QString::fromUtf8(set.value(i).data(), qsizetype(set.value(i).size())));
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// A database of the test's own on the test server, a copy of the server's template (the catalog
// views in place), dropped again when the test ends. Named imp_<process id>_<suffix>.
class PrivateDatabase {
public:
    explicit PrivateDatabase(const QString& suffix) : name_(uniqueName(QStringLiteral("imp"), suffix))
    {
        db::Connection& admin = adminConnection();
        admin.execute(QStringLiteral("drop database if exists ") + name_ + QStringLiteral(" with (force)"));
        admin.execute(QStringLiteral("create database ") + name_ + QStringLiteral(" template ")
                      + testServer().emptyTemplate);
        // Database settings are not copied with the template.
        admin.execute(QStringLiteral("alter database ") + name_
                      + QStringLiteral(" set search_path = \"$user\", public, dbo, sys"));
    }
    ~PrivateDatabase()
    {
        try {
            if (connection_.isOpen())
                connection_.close();
            adminConnection().execute(QStringLiteral("drop database if exists ") + name_
                                      + QStringLiteral(" with (force)"));
        } catch (const std::exception& e) {
            ADD_FAILURE() << "could not drop " << name_.toStdString() << ": " << e.what();
        }
    }
    PrivateDatabase(const PrivateDatabase&) = delete;
    PrivateDatabase& operator=(const PrivateDatabase&) = delete;

    const QString& name() const { return name_; }

    // A connection of the test's own to the database, to prepare and check tables.
    db::Connection& connection()
    {
        if (!connection_.isOpen())
            connection_.open(testConnectionString(name_));
        return connection_;
    }

    // Drops it before the test ends (a database that has gone away since it was listed).
    void dropNow()
    {
        if (connection_.isOpen())
            connection_.close();
        adminConnection().execute(QStringLiteral("drop database if exists ") + name_ + QStringLiteral(" with (force)"));
    }

private:
    // Databases are made and dropped from the scratch database.
    static db::Connection& adminConnection()
    {
        static db::Connection connection;
        if (!connection.isOpen())
            connection.open(testConnectionString(QStringLiteral("scratch")));
        return connection;
    }

    QString name_;
    db::Connection connection_;
};

// An import window opened with scripted prompts, in a program folder with the stand-in tool.
template <class Window>
class ImportWindowTest : public ::testing::Test {
protected:
    void SetUp() override { setPrompts(&scripted); }

    void TearDown() override
    {
        ImportConnection().reset();
        setPrompts(nullptr);
    }

    // Opens the window, runs the body while it is open, then closes it as the user would.
    void withWindow(const std::function<void(Window&)>& body)
    {
        scripted.onModal([&](QDialog& dialog) { body(static_cast<Window&>(dialog)); });
        window.showModal();
    }

    template <class T>
    static T* child(Window& w, const QString& name)
    {
        T* found = w.template findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    static QLineEdit* box(Window& w, const QString& name) { return child<QLineEdit>(w, name); }
    static void click(Window& w, const QString& button)
    {
        QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
        settle(&w);
    }
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

    // The lines of today's error log.
    QStringList errLogLines() const
    {
        QString text = QString::fromUtf8(readBytes(ImportFailureLog::logFilePath()));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    StandInProgramFolder program;
    ScriptedPrompts scripted;
    Window window;
};

} // namespace zobran::test
