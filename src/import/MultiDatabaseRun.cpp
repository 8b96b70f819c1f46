#include "import/MultiDatabaseRun.h"

#include "basics/AppPath.h"
#include "basics/RunProgress.h"
#include "basics/RunStopped.h"
#include "basics/StopSource.h"
#include "basics/TextFile.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/ResultSet.h"
#include "db/TimeLimits.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/InsertedTables.h"
#include "import/RunReport.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace zobran {

namespace {

enum class DatabaseEnd { Done, NotOpened, Lost };

// The rows of each table, or why they could not be counted.
std::map<QString, QString> countRows(db::Connection& connection, const QStringList& tables)
{
    std::map<QString, QString> counts;
    for (const QString& table : tables) {
        try {
            const std::unique_ptr<db::ResultSet> rows
                = db::openStaticResultSet(rowCountQuery(table), connection, {}, db::catalogTimeLimit());
            counts[table] = rows->eof()
                ? QStringLiteral("?")
                : QString::fromUtf8(rows->value(0).data(), static_cast<qsizetype>(rows->value(0).size()));
        } catch (const RunStopped&) {
            throw;
        } catch (const db::DbError& e) {
            counts[table] = e.isMissingTable() ? QStringLiteral("no such table")
                                               : QStringLiteral("not counted: ") + oneLine(e.description());
        } catch (const std::exception& e) {
            counts[table] = QStringLiteral("not counted: ") + oneLine(toAppError(e).description());
        }
    }
    return counts;
}

// One worker's run of one database: open, count, the files in order, count again, close.
class DatabaseRun {
public:
    DatabaseRun(const MultiDatabaseRunPlan& plan, const QStringList& tables, ImportFailureLog& failures,
                const StopSource& stop, RunProgress& progress, ImportReach& reach, RunReport* report,
                const MultiDatabaseRunHooks& hooks)
        : plan_(plan),
          tables_(tables),
          failures_(failures),
          stop_(stop),
          progress_(progress),
          reach_(reach),
          report_(report),
          hooks_(hooks)
    {
    }

    DatabaseEnd run(const QString& database, const QString& where, const QString& batchPath, bool& anyFileFailed)
    {
        reach_.update([&](ImportReach::Snapshot& r) {
            r.running[database] = ImportReach::Files{0, static_cast<int>(plan_.files.size()), QString(), 0};
        });
        progress_.setStatus(where + QStringLiteral("opening"));
        db::Connection connection;
        try {
            connection.open(db::importConnectionString(plan_.server, database, plan_.login, plan_.password));
            connection.setCursorLocation(db::CursorLocationClient);
        } catch (const std::exception& e) {
            const AppError error = toAppError(e);
            failures_.databaseNotOpened(database, error);
            if (report_)
                report_->add(
                    RunReport::FileRow{database, QString(), false, false, 0, 0, 0,
                                       QStringLiteral("cannot open the database: ") + oneLine(error.description())});
            if (hooks_.databaseNotOpened)
                hooks_.databaseNotOpened(database, error);
            leave(database);
            return DatabaseEnd::NotOpened;
        }
        if (hooks_.databaseOpened)
            hooks_.databaseOpened(database);

        std::map<QString, QString> before;
        if (!tables_.isEmpty()) {
            const db::Connection::RunUse use(connection, stop_);
            before = countRows(connection, tables_);
        }
        const OsqlArguments osql{plan_.login, plan_.password, plan_.server, database, QString()};
        bool lost = false;
        int fileNumber = 0;
        for (const QString& path : plan_.files) {
            ++fileNumber;
            stop_.throwIfStopRequested();
            if (plan_.completed.count({database, path}) > 0) {
                if (report_)
                    report_->add(RunReport::FileRow{database, path, true, true, 0, 0, 0, QString()});
                if (hooks_.fileSkipped)
                    hooks_.fileSkipped(database, path);
                reach_.update([&](ImportReach::Snapshot& r) { ++r.running[database].filesDone; });
                continue;
            }
            if (hooks_.fileStarting)
                hooks_.fileStarting(database, path);
            ScriptFileHooks fileHooks;
            fileHooks.database = database;
            fileHooks.statusPrefix = where;
            fileHooks.statusByName = true;
            fileHooks.fileOf = QStringLiteral("file %1 of %2").arg(fileNumber).arg(plan_.files.size());
            fileHooks.batchPath = batchPath;
            QElapsedTimer clock;
            clock.start();
            const ScriptFileOutcome outcome
                = runScriptFile(path, &connection, osql, failures_, stop_, progress_, reach_, fileHooks);
            if (outcome.failed())
                anyFileFailed = true;
            if (report_)
                report_->add(RunReport::FileRow{database, path, outcome.completed(), false, outcome.executed(),
                                                outcome.failedCount(), static_cast<double>(clock.elapsed()) / 1000.0,
                                                outcome.firstError});
            if (hooks_.fileEnded)
                hooks_.fileEnded(database, path, outcome);
            if (outcome.connectionLost()) {
                lost = true;
                break;
            }
        }
        if (lost) {
            // Nothing more of this database: no counting and no closing on a connection that is gone.
            if (hooks_.connectionLost)
                hooks_.connectionLost(database);
            leave(database);
            return DatabaseEnd::Lost;
        }
        if (!tables_.isEmpty()) {
            std::map<QString, QString> after;
            {
                const db::Connection::RunUse use(connection, stop_);
                after = countRows(connection, tables_);
            }
            if (report_)
                for (const QString& table : tables_)
                    report_->add(RunReport::TableRow{database, table, before[table], after[table]});
        }
        connection.close();
        reach_.update([&](ImportReach::Snapshot& r) { ++r.databasesDone; });
        leave(database);
        if (hooks_.databaseFinished)
            hooks_.databaseFinished(database);
        return DatabaseEnd::Done;
    }

private:
    void leave(const QString& database)
    {
        reach_.update([&](ImportReach::Snapshot& r) { r.running.remove(database); });
    }

    const MultiDatabaseRunPlan& plan_;
    const QStringList& tables_;
    ImportFailureLog& failures_;
    const StopSource& stop_;
    RunProgress& progress_;
    ImportReach& reach_;
    RunReport* report_;
    const MultiDatabaseRunHooks& hooks_;
};

// The batch file of the worker in `slot`: TmExe.bat for the first, one of its own for each other.
QString batchPathOf(int slot)
{
    return slot == 0 ? batchFilePath() : appSubPath(QStringLiteral("TmExe-%1.bat").arg(slot + 1));
}

} // namespace

MultiDatabaseRunResult runMultiDatabase(const MultiDatabaseRunPlan& plan, ImportFailureLog& failures,
                                        const StopSource& stop, RunProgress& progress, ImportReach& reach,
                                        RunReport* report, const MultiDatabaseRunHooks& hooks)
{
    MultiDatabaseRunResult result;
    const int total = static_cast<int>(plan.databases.size());
    reach.update([&](ImportReach::Snapshot& r) { r.databasesTotal = total; });
    const QStringList tables = insertedTables(plan.files);
    const int workers = std::clamp(plan.databasesAtATime, 1, std::max(total, 1));

    std::mutex mutex; // over next, halted, result
    int next = 0;
    bool halted = false;
    std::vector<std::exception_ptr> thrown(static_cast<std::size_t>(workers));
    const auto work = [&](int slot) {
        DatabaseRun run(plan, tables, failures, stop, progress, reach, report, hooks);
        try {
            for (;;) {
                int d = 0;
                {
                    const std::lock_guard lock(mutex);
                    if (halted || next >= total)
                        return;
                    d = next++;
                }
                stop.throwIfStopRequested();
                const QString& database = plan.databases[d];
                const QString where = QStringLiteral("Database %1 of %2 (%3): ").arg(d + 1).arg(total).arg(database);
                bool anyFileFailed = false;
                const DatabaseEnd end = run.run(database, where, batchPathOf(slot), anyFileFailed);
                const std::lock_guard lock(mutex);
                result.anyFileFailed = result.anyFileFailed || anyFileFailed;
                if (end == DatabaseEnd::Done)
                    continue;
                result.failedDatabases << database;
                if (end == DatabaseEnd::Lost)
                    result.lostDatabases << database;
                if (!plan.goOnAfterFailedDatabase && !halted) {
                    halted = true;
                    for (int later = next; later < total; ++later)
                        result.notStarted << plan.databases[later];
                }
            }
        } catch (...) {
            thrown[static_cast<std::size_t>(slot)] = std::current_exception();
            // The others stop too: what one worker cannot go on with ends the run.
            const std::lock_guard lock(mutex);
            halted = true;
        }
    };
    if (workers == 1) {
        work(0);
    } else {
        std::vector<std::thread> threads;
        for (int slot = 0; slot < workers; ++slot)
            threads.emplace_back(work, slot);
        for (std::thread& thread : threads)
            thread.join();
        for (int slot = 1; slot < workers; ++slot)
            deleteFileIfExists(batchPathOf(slot));
    }
    // A stop comes before anything else a worker raised.
    std::exception_ptr first;
    for (const std::exception_ptr& e : thrown) {
        if (!e)
            continue;
        try {
            std::rethrow_exception(e);
        } catch (const RunStopped&) {
            std::rethrow_exception(e);
        } catch (...) {
            if (!first)
                first = e;
        }
    }
    if (first)
        std::rethrow_exception(first);
    progress.setStatus(QString());
    return result;
}

} // namespace zobran
