#pragma once

#include "basics/AppError.h"
#include "import/ScriptFileRun.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zobran {

class ImportFailureLog;
class RunProgress;
class StopSource;

// The same script files against several databases of one server: for each database in turn a
// connection of its own is opened, every file runs against it in the order given (.sql files
// through the tool, KX files over the connection) and the connection is closed. A database that
// cannot be opened ends the run there: it and the databases after it are not updated; so does a
// connection lost on the way (the rest of that database is not updated either).
struct MultiDatabaseRunSpec {
    QString server;
    QString login;
    QString password;
    QStringList databases;
    QStringList files; // full paths
};

// What the run tells as it goes, on the run's thread.
struct MultiDatabaseRunHooks {
    std::function<void(const QString& database)> databaseOpened;
    std::function<void(const QString& database, const AppError& error)> databaseNotOpened;
    std::function<void(const QString& database, const QString& path)> fileStarting;
    std::function<void(const QString& database, const QString& path, const ScriptFileOutcome& outcome)> fileEnded;
    std::function<void(const QString& database)> connectionLost;
};

struct MultiDatabaseRunResult {
    QString stoppedAt;           // the database that could not be opened, or whose connection was lost
    bool connectionLost = false; // the second
};

// Failures are logged; the reach follows the run; a stop raises RunStopped.
MultiDatabaseRunResult runMultiDatabase(const MultiDatabaseRunSpec& spec, ImportFailureLog& failures,
                                        const StopSource& stop, RunProgress& progress, ImportReach& reach,
                                        const MultiDatabaseRunHooks& hooks = {});

} // namespace zobran
