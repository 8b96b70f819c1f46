#include "import/MultiDatabaseRun.h"

#include "basics/RunProgress.h"
#include "basics/RunStopped.h"
#include "basics/StopSource.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "import/ImportFailureLog.h"

#include <QFileInfo>

#include <memory>

namespace zobran {

MultiDatabaseRunResult runMultiDatabase(const MultiDatabaseRunSpec& spec, ImportFailureLog& failures,
                                        const StopSource& stop, RunProgress& progress, ImportReach& reach,
                                        const MultiDatabaseRunHooks& hooks)
{
    MultiDatabaseRunResult result;
    reach.update([&](ImportReach::Snapshot& r) { r.databasesTotal = static_cast<int>(spec.databases.size()); });
    const OsqlArguments osql{spec.login, spec.password, spec.server, QString(), QString()};
    for (int d = 0; d < spec.databases.size(); ++d) {
        stop.throwIfStopRequested();
        const QString& database = spec.databases[d];
        reach.update([&](ImportReach::Snapshot& r) {
            r.database = database;
            r.filesDone = 0;
            r.filesTotal = static_cast<int>(spec.files.size());
        });
        const QString where
            = QStringLiteral("Database %1 of %2 (%3): ").arg(d + 1).arg(spec.databases.size()).arg(database);
        progress.setStatus(where + QStringLiteral("opening"));
        db::Connection connection;
        try {
            connection.open(db::importConnectionString(spec.server, database, spec.login, spec.password));
            connection.setCursorLocation(db::CursorLocationClient);
        } catch (const std::exception& e) {
            const AppError error = toAppError(e);
            failures.databaseNotOpened(database, error);
            if (hooks.databaseNotOpened)
                hooks.databaseNotOpened(database, error);
            result.stoppedAt = database;
            break;
        }
        if (hooks.databaseOpened)
            hooks.databaseOpened(database);
        OsqlArguments forDatabase = osql;
        forDatabase.database = database;
        for (const QString& path : spec.files) {
            if (hooks.fileStarting)
                hooks.fileStarting(database, path);
            ScriptFileHooks fileHooks;
            fileHooks.statusPrefix = where;
            const ScriptFileOutcome outcome
                = runScriptFile(path, &connection, forDatabase, failures, stop, progress, reach, fileHooks);
            if (hooks.fileEnded)
                hooks.fileEnded(database, path, outcome);
            if (outcome.connectionLost()) {
                result.connectionLost = true;
                break;
            }
        }
        if (result.connectionLost) {
            // As with a database that cannot be opened: nothing more of this one, nor of the next ones.
            if (hooks.connectionLost)
                hooks.connectionLost(database);
            result.stoppedAt = database;
            break;
        }
        connection.close();
        reach.update([&](ImportReach::Snapshot& r) {
            ++r.databasesDone;
            r.database.clear();
        });
    }
    progress.setStatus(QString());
    return result;
}

} // namespace zobran
