#pragma once

#include "ImportTestSupport.h"

#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "import/ImportFailureLog.h"
#include "support/WindowTest.h"

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

// The lines of today's error log.
inline QStringList errLogLines()
{
    QString text = QString::fromUtf8(readBytes(ImportFailureLog::logFilePath()));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// An import window, in a program folder with the stand-in tool.
template <class Window>
using ImportWindowTest = WindowTest<Window, StandInProgramFolder>;

} // namespace zobran::test
