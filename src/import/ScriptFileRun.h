#pragma once

#include "basics/AppError.h"
#include "import/BatchRun.h"
#include "import/KxFileImport.h"
#include "import/OsqlCommandLine.h"

#include <QMap>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

namespace zobran {

namespace db {
class Connection;
}

class ImportFailureLog;
class RunProgress;
class StopSource;

// How far a run of script files has got: set by the run on its threads, read by the window or the
// command line at any time (also when the run was given up).
class ImportReach {
public:
    // The files of one database.
    struct Files {
        int filesDone = 0;
        int filesTotal = 0;
        QString file;  // being run; empty between files
        long line = 0; // of the last KX statement the run is done with
    };
    struct Snapshot {
        int databasesDone = 0;
        int databasesTotal = 0;       // 0: a run over one database
        QMap<QString, Files> running; // by database; "" for the one database of a single run
        long executed = 0;            // KX statements the server took, over the whole run
        long failed = 0;
    };

    Snapshot snapshot() const;
    void update(const std::function<void(Snapshot&)>& change);

private:
    mutable std::mutex mutex_;
    Snapshot reached_;
};

// What running one script file came to.
struct ScriptFileOutcome {
    enum class Kind { Sql, Kx, Other };
    Kind kind = Kind::Other;
    BatchRunResult batch;          // a .sql file's run through the tool
    KxImportCounts kx;             // a KX file's statements
    std::optional<AppError> error; // a KX file that could not be read, or had no connection
    QString firstError;            // the first failure's text, on one line

    bool failed() const;
    // The connection to the database went away on the way (the tool says so by its exit status).
    bool connectionLost() const;
    // Ran to its end with nothing failed.
    bool completed() const { return kind != Kind::Other && !failed(); }
    // Statements (or batches) the server took and those that failed: a KX file's counts, or what the
    // tool's last line says.
    long executed() const;
    long failedCount() const;
    // One line for a log: "OSQL ended with exit status 1", "3 of 10 statement(s) failed", ...; "" when
    // nothing failed.
    QString failureText() const;
};

// What the run tells while a file runs, on the run's thread, and where it keeps its place.
struct ScriptFileHooks {
    QString database;          // the reach's key: the database of a multi-database run, "" otherwise
    QString statusPrefix;      // before the status of the file ("Database 2 of 5 (shop_01): ")
    bool statusByName = false; // the status names the file by its name, not its path
    QString fileOf;            // where the file stands among the run's ("file 2 of 3"), after its name
    QString batchPath;         // the batch file for the tool; TmExe.bat when empty
    ToolOutput toolOutput;     // what the tool prints as it comes
    std::function<void()> fileStarting;
    std::function<void(const ScriptFileOutcome&)> fileEnded;
};

// Runs one selected script file the way the import windows do: the kind is the last three
// characters of the path ("SQL" runs through the tool with the arguments, ".KX" statement by
// statement over the connection, anything else is not run). Failures are logged and come back in
// the outcome; the reach follows every statement and the status says where the run is. A stop
// raises RunStopped.
ScriptFileOutcome runScriptFile(const QString& path, db::Connection* connection, const OsqlArguments& osql,
                                ImportFailureLog& failures, const StopSource& stop, RunProgress& progress,
                                ImportReach& reach, const ScriptFileHooks& hooks = {});

// What a window or the command line says of a run that was stopped: how far it got and what was
// not run. givenUp: the server had not answered when the run was given up.
QString stoppedRunText(const ImportReach::Snapshot& reached, bool givenUp);

} // namespace zobran
