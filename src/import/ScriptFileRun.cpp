#include "import/ScriptFileRun.h"

#include "basics/RunProgress.h"
#include "basics/RunStopped.h"
#include "basics/StopSource.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "import/ImportFailureLog.h"

#include <QElapsedTimer>

namespace zobran {

ImportReach::Snapshot ImportReach::snapshot() const
{
    const std::lock_guard lock(mutex_);
    return reached_;
}

void ImportReach::update(const std::function<void(Snapshot&)>& change)
{
    const std::lock_guard lock(mutex_);
    change(reached_);
}

bool ScriptFileOutcome::failed() const
{
    switch (kind) {
    case Kind::Sql:
        return batch.failed();
    case Kind::Kx:
        return error.has_value() || kx.failed > 0;
    case Kind::Other:
        break;
    }
    return false;
}

bool ScriptFileOutcome::connectionLost() const
{
    return (kind == Kind::Sql && batch.connectionLost()) || (kind == Kind::Kx && kx.connectionLost);
}

QString ScriptFileOutcome::failureText() const
{
    if (!failed())
        return {};
    if (kind == Kind::Sql)
        return batch.outcome();
    if (error)
        return QStringLiteral("the file could not be read: ") + oneLine(error->description());
    if (kx.connectionLost)
        return QStringLiteral("the connection was lost after %1 statement(s); %2 were not run")
            .arg(kx.executed)
            .arg(kx.notRun);
    return QString::number(kx.failed) + QStringLiteral(" of ") + QString::number(kx.failed + kx.executed)
        + QStringLiteral(" statement(s) failed");
}

ScriptFileOutcome runScriptFile(const QString& path, db::Connection* connection, const OsqlArguments& osql,
                                ImportFailureLog& failures, const StopSource& stop, RunProgress& progress,
                                ImportReach& reach, const ScriptFileHooks& hooks)
{
    ScriptFileOutcome outcome;
    const QString kind = scriptKindOf(path);
    const QString where = hooks.statusPrefix + QStringLiteral("Import ") + path + QStringLiteral("...");
    reach.update([&](ImportReach::Snapshot& r) {
        r.file = path;
        r.line = 0;
    });
    progress.setStatus(where);
    if (hooks.fileStarting)
        hooks.fileStarting();

    if (kind == QStringLiteral("SQL")) {
        outcome.kind = ScriptFileOutcome::Kind::Sql;
        OsqlArguments arguments = osql;
        arguments.scriptPath = path;
        outcome.batch = runOsqlFile(arguments, stop, hooks.toolOutput);
        if (outcome.batch.stopped)
            throw RunStopped();
        if (outcome.batch.failed())
            failures.osqlFileFailed(path, outcome.batch);
    } else if (kind == QStringLiteral(".KX")) {
        outcome.kind = ScriptFileOutcome::Kind::Kx;
        KxImportHooks kxHooks;
        QElapsedTimer sinceStatus;
        kxHooks.statementFailed = [&failures](const KxStatementFailure& failure) { failures.statementFailed(failure); };
        kxHooks.connectionLost = [&failures](const KxConnectionLoss& loss) { failures.connectionLost(loss); };
        kxHooks.afterStatement = [&](const KxImportCounts& counts, long line, bool executed) {
            outcome.kx = counts;
            reach.update([&](ImportReach::Snapshot& r) {
                r.line = line;
                if (executed)
                    ++r.executed;
                else
                    ++r.failed;
            });
            if (!sinceStatus.isValid() || sinceStatus.elapsed() >= 50) {
                sinceStatus.start();
                progress.setStatus(where + QStringLiteral(" statement %1").arg(counts.executed + counts.failed));
            }
        };
        try {
            if (!connection)
                throw db::noConnectionError();
            const db::Connection::RunUse use(*connection, stop);
            outcome.kx = importKxFile(path, *connection, kxHooks);
        } catch (const RunStopped&) {
            throw;
        } catch (const std::exception& e) {
            outcome.error = toAppError(e);
            failures.kxFileFailed(path, *outcome.error);
        }
    }
    reach.update([&](ImportReach::Snapshot& r) {
        ++r.filesDone;
        r.file.clear();
        r.line = 0;
    });
    if (hooks.fileEnded)
        hooks.fileEnded(outcome);
    return outcome;
}

QString stoppedRunText(const ImportReach::Snapshot& reached, bool givenUp)
{
    QStringList lines;
    if (reached.databasesTotal > 0)
        lines << QStringLiteral("Databases finished: %1 of %2.").arg(reached.databasesDone).arg(reached.databasesTotal);
    if (!reached.database.isEmpty())
        lines << QStringLiteral("Stopped in database %1, after %2 of its %3 script file(s).")
                     .arg(reached.database)
                     .arg(reached.filesDone)
                     .arg(reached.filesTotal);
    else
        lines << QStringLiteral("Script files finished: %1 of %2.").arg(reached.filesDone).arg(reached.filesTotal);
    if (!reached.file.isEmpty()) {
        QString at = QStringLiteral("Stopped in ") + reached.file;
        if (reached.line > 0)
            at += QStringLiteral(" at line %1").arg(reached.line);
        lines << at + QStringLiteral(": the rest of it and the files after it were not run.");
    }
    lines << QStringLiteral("KX statements executed: %1, failed: %2.").arg(reached.executed).arg(reached.failed);
    if (givenUp)
        lines << QStringLiteral("The server had not answered when the run was given up: the statement it was "
                                "running may still complete.");
    return lines.join(QLatin1Char('\n'));
}

} // namespace zobran
