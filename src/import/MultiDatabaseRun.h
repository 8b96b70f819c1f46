#pragma once

#include "basics/AppError.h"
#include "import/ScriptFileRun.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <set>
#include <utility>

namespace zobran {

class ImportFailureLog;
class RunProgress;
class RunReport;
class StopSource;

// The same script files against several databases of one server. Each database gets a connection of
// its own; its files run against it strictly in the order given (.sql files through the tool, KX
// files over the connection), and the tables the files insert into are counted before and after.
// Databases run one after the other in their order, or several at a time. A database that cannot be
// opened, or whose connection is lost on the way, fails: by default the run starts no database
// after it (those already going finish); it can go on with the others instead.
struct MultiDatabaseRunPlan {
    QString server;
    QString login;
    QString password;
    QStringList databases;
    QStringList files; // full paths
    int databasesAtATime = 1;
    bool goOnAfterFailedDatabase = false;
    // Database/file pairs an earlier run's report shows complete: they are skipped.
    std::set<std::pair<QString, QString>> completed;
};

// What the run tells as it goes; with several databases at a time, from their threads.
struct MultiDatabaseRunHooks {
    std::function<void(const QString& database)> databaseOpened;
    std::function<void(const QString& database, const AppError& error)> databaseNotOpened;
    std::function<void(const QString& database, const QString& path)> fileStarting;
    std::function<void(const QString& database, const QString& path)> fileSkipped;
    std::function<void(const QString& database, const QString& path, const ScriptFileOutcome& outcome)> fileEnded;
    std::function<void(const QString& database)> connectionLost;
    std::function<void(const QString& database)> databaseFinished;
};

struct MultiDatabaseRunResult {
    QStringList failedDatabases; // could not be opened, or lost their connection, in the order met
    QStringList lostDatabases;   // the second kind
    QStringList notStarted;      // left out after a failed database
    bool anyFileFailed = false;
};

// Failures are logged; the reach follows the run; the report, when given, gets a row per database
// and file and per counted table as soon as each is known. A stop raises RunStopped.
MultiDatabaseRunResult runMultiDatabase(const MultiDatabaseRunPlan& plan, ImportFailureLog& failures,
                                        const StopSource& stop, RunProgress& progress, ImportReach& reach,
                                        RunReport* report = nullptr, const MultiDatabaseRunHooks& hooks = {});

} // namespace zobran
