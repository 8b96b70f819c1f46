#include "import/ScriptFileRun.h"

#include "basics/RunProgress.h"
#include "basics/RunStopped.h"
#include "basics/StopSource.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

namespace zobran {

namespace {

// The tool's last line: "12 statements run, 1 failed." (or batches).
std::optional<std::pair<long, long>> toolTotals(const QString& output)
{
    static const QRegularExpression totals(QStringLiteral(R"((\d+) (?:statements|batches) run, (\d+) failed\.\s*$)"));
    const QRegularExpressionMatch match = totals.match(output);
    if (!match.hasMatch())
        return std::nullopt;
    return std::make_pair(match.captured(1).toLong(), match.captured(2).toLong());
}

// The first message the tool printed of a failure, or how it ended.
QString firstToolError(const BatchRunResult& result)
{
    if (!result.failed())
        return {};
    for (const QString& line : result.output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Msg ")) || line.startsWith(QStringLiteral("OSQL: ")))
            return line.trimmed();
    }
    return result.outcome();
}

} // namespace

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

long ScriptFileOutcome::executed() const
{
    if (kind == Kind::Kx)
        return kx.executed;
    if (kind == Kind::Sql)
        if (const auto totals = toolTotals(batch.output))
            return totals->first - totals->second;
    return 0;
}

long ScriptFileOutcome::failedCount() const
{
    if (kind == Kind::Kx)
        return kx.failed + (error ? 1 : 0);
    if (kind == Kind::Sql) {
        if (const auto totals = toolTotals(batch.output))
            return totals->second;
        return batch.failed() ? 1 : 0;
    }
    return 0;
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
    const QString where = hooks.statusPrefix + QStringLiteral("Import ")
        + (hooks.statusByName ? QFileInfo(path).fileName() : path) + QStringLiteral("...")
        + (hooks.fileOf.isEmpty() ? QString() : QStringLiteral(" (") + hooks.fileOf + QLatin1Char(')'));
    const auto place = [&](const std::function<void(ImportReach::Files&)>& change) {
        reach.update([&](ImportReach::Snapshot& r) { change(r.running[hooks.database]); });
    };
    place([&](ImportReach::Files& f) {
        f.file = path;
        f.line = 0;
    });
    progress.setStatus(where);
    if (hooks.fileStarting)
        hooks.fileStarting();

    if (kind == QStringLiteral("SQL")) {
        outcome.kind = ScriptFileOutcome::Kind::Sql;
        OsqlArguments arguments = osql;
        arguments.scriptPath = path;
        outcome.batch = runOsqlFile(arguments, stop, hooks.toolOutput,
                                    hooks.batchPath.isEmpty() ? batchFilePath() : hooks.batchPath);
        if (outcome.batch.stopped)
            throw RunStopped();
        if (outcome.batch.failed())
            failures.osqlFileFailed(path, outcome.batch);
        outcome.firstError = oneLine(firstToolError(outcome.batch));
    } else if (kind == QStringLiteral(".KX")) {
        outcome.kind = ScriptFileOutcome::Kind::Kx;
        KxImportHooks kxHooks;
        QElapsedTimer sinceStatus;
        kxHooks.statementFailed = [&](const KxStatementFailure& failure) {
            failures.statementFailed(failure);
            if (outcome.firstError.isEmpty())
                outcome.firstError
                    = oneLine(QStringLiteral("line %1: ").arg(failure.line) + failure.error.description());
        };
        kxHooks.connectionLost = [&](const KxConnectionLoss& loss) {
            failures.connectionLost(loss);
            if (outcome.firstError.isEmpty())
                outcome.firstError = oneLine(QStringLiteral("line %1: ").arg(loss.line) + loss.error.description());
        };
        kxHooks.afterStatement = [&](const KxImportCounts& counts, long line, bool executed) {
            outcome.kx = counts;
            reach.update([&](ImportReach::Snapshot& r) {
                r.running[hooks.database].line = line;
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
            if (outcome.firstError.isEmpty())
                outcome.firstError = oneLine(outcome.error->description());
        }
    }
    place([](ImportReach::Files& f) {
        ++f.filesDone;
        f.file.clear();
        f.line = 0;
    });
    if (hooks.fileEnded)
        hooks.fileEnded(outcome);
    return outcome;
}

QString stoppedRunText(const ImportReach::Snapshot& reached, bool givenUp)
{
    QStringList lines;
    const auto where = [&](const ImportReach::Files& files) {
        if (files.file.isEmpty())
            return;
        QString at = QStringLiteral("Stopped in ") + files.file;
        if (files.line > 0)
            at += QStringLiteral(" after the statement at line %1").arg(files.line);
        lines << at + QStringLiteral(": the rest of it and the files after it were not run.");
    };
    if (reached.databasesTotal > 0) {
        lines << QStringLiteral("Databases finished: %1 of %2.").arg(reached.databasesDone).arg(reached.databasesTotal);
        for (auto it = reached.running.begin(); it != reached.running.end(); ++it) {
            lines << QStringLiteral("Stopped in database %1, after %2 of its %3 script file(s).")
                         .arg(it.key())
                         .arg(it->filesDone)
                         .arg(it->filesTotal);
            where(*it);
        }
    } else {
        const ImportReach::Files files = reached.running.value(QString());
        lines << QStringLiteral("Script files finished: %1 of %2.").arg(files.filesDone).arg(files.filesTotal);
        where(files);
    }
    lines << QStringLiteral("KX statements executed: %1, failed: %2.").arg(reached.executed).arg(reached.failed);
    if (givenUp)
        lines << QStringLiteral("The server had not answered when the run was given up: the statement it was "
                                "running may still complete.");
    return lines.join(QLatin1Char('\n'));
}

} // namespace zobran
