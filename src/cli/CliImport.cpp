// zobran-cli import: the single-database window's run of script files.

#include "cli/CliCommands.h"
#include "cli/CliConnection.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"

#include "basics/RunProgress.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/ScriptFileRun.h"

#include <QFileInfo>

#include <memory>

namespace zobran::cli {

namespace {

const QString Usage
    = QStringLiteral("usage: zobran-cli import --database DB [--server S] [--login L] FILE...\n"
                     "Runs the script files against one database, in the order given, as the single-database window\n"
                     "does: .sql files through OSQL, KX files statement by statement over a connection of its own.\n"
                     "Failures are counted, written to the daily error log and named on standard error; the exit\n"
                     "status is 1 when anything failed. The password comes from ZOBRAN_PASSWORD, the remembered\n"
                     "settings or a prompt.");

QString fileLine(const QString& path, const ScriptFileOutcome& outcome)
{
    switch (outcome.kind) {
    case ScriptFileOutcome::Kind::Sql:
        return path + QStringLiteral(": ") + outcome.batch.outcome();
    case ScriptFileOutcome::Kind::Kx:
        if (outcome.error)
            return path + QStringLiteral(": ") + outcome.failureText();
        return path
            + QStringLiteral(": %1 statement(s) executed, %2 failed").arg(outcome.kx.executed).arg(outcome.kx.failed);
    case ScriptFileOutcome::Kind::Other:
        break;
    }
    return path + QStringLiteral(": not run (neither .sql nor .KX)");
}

} // namespace

int importCommand(const QStringList& words)
{
    const ParsedOptions options = parseCommandOptions(words, {{QStringLiteral("database")}});
    if (printedHelp(options, Usage))
        return ExitSuccess;
    if (options.operands.isEmpty())
        throw UsageError(QStringLiteral("give the script files to import"));
    QStringList paths;
    for (const QString& file : options.operands)
        paths << QFileInfo(file).absoluteFilePath();
    const ConnectionValues values = connectionValues(options, true);

    auto failures = std::make_shared<ImportFailureLog>(QStringLiteral("ZOBRAN-CLI"));
    auto reach = std::make_shared<ImportReach>();
    reach->update([&](ImportReach::Snapshot& r) { r.running[QString()].filesTotal = static_cast<int>(paths.size()); });
    auto failedFiles = std::make_shared<QStringList>();
    const BackgroundRun::Outcome outcome = runWithProgress([=](const StopSource& stop, RunProgress& progress) {
        deleteBatchFile();
        // KX files go over a connection of the run's own; the connection is opened for the first one.
        std::unique_ptr<db::Connection> connection;
        std::optional<AppError> notOpened;
        const OsqlArguments osql{values.login, values.password, values.server, values.database, QString()};
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const QString& path = paths[i];
            if (scriptKindOf(path) == QStringLiteral(".KX") && !connection && !notOpened) {
                try {
                    connection = std::make_unique<db::Connection>();
                    connection->open(
                        db::importConnectionString(values.server, values.database, values.login, values.password));
                } catch (const std::exception& e) {
                    notOpened = toAppError(e);
                    connection.reset();
                    progress.post([error = *notOpened] {
                        printProblem(QStringLiteral("zobran-cli: cannot open the database: ")
                                     + oneLine(error.description()));
                    });
                }
            }
            ScriptFileHooks hooks;
            hooks.fileOf = QStringLiteral("file %1 of %2").arg(i + 1).arg(paths.size());
            hooks.toolOutput = [&progress](const QString& text) {
                progress.post([text] { std::fputs(text.toUtf8().constData(), stdout); });
            };
            hooks.fileEnded = [&](const ScriptFileOutcome& result) {
                const QString line = fileLine(path, result);
                progress.post([line, failed = result.failed(), failedFiles] {
                    if (failed) {
                        printProblem(QStringLiteral("zobran-cli: ") + line);
                        *failedFiles << line;
                    } else {
                        printLine(line);
                    }
                });
            };
            runScriptFile(path, connection.get(), osql, *failures, stop, progress, *reach, hooks);
        }
        deleteBatchFile();
    });

    if (const std::optional<int> status = failedRunStatus(
            outcome, QStringLiteral("import"), [&] { return stoppedRunText(reach->snapshot(), outcome.givenUp); }))
        return *status;
    if (!failures->logTrouble().isEmpty())
        printProblem(QStringLiteral("zobran-cli: the daily error log could not be written: ") + failures->logTrouble());
    return failures->anyLogged() ? ExitFailure : ExitSuccess;
}

} // namespace zobran::cli
