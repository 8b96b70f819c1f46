// zobran-cli update: the multi-database window's run, over many databases at a time.

#include "cli/CliCommands.h"
#include "cli/CliConnection.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"

#include "basics/RunProgress.h"
#include "basics/TextFile.h"
#include "db/CatalogQueries.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "import/BatchFile.h"
#include "import/ImportFailureLog.h"
#include "import/MultiDatabaseRun.h"
#include "import/RunReport.h"

#include <QFileInfo>

#include <memory>

namespace zobran::cli {

namespace {

constexpr int DefaultParallel = 4;
constexpr int MaxParallel = 16;

const QString Usage = QStringLiteral(
    "usage: zobran-cli update (--databases DB,DB,... | --all) [--skip FILE] [--parallel N]\n"
    "                         [--on-failure stop|continue] [--report FILE] [--resume REPORT]\n"
    "                         [--server S] [--login L] FILE...\n"
    "Runs the script files against each database, as the multi-database window does: every file in\n"
    "the order given, .sql files through OSQL, KX files over a connection of the database's own.\n"
    "  --all              every online database of the server but master, tempdb, model and msdb\n"
    "  --skip FILE        databases not to run, one a line (blank lines and lines from # left out)\n"
    "  --parallel N       databases at a time (default 4; 1 runs them in their order)\n"
    "  --on-failure       what a database that cannot be opened, or whose connection is lost, does\n"
    "                     to the rest: stop starting others, or continue with them (default)\n"
    "  --report FILE      the run's CSV report (default: run-<date>-<time>.csv beside the daily log):\n"
    "                     a row per database and file, and the rows of each table the files insert\n"
    "                     into, before and after\n"
    "  --resume REPORT    skip the database/file pairs an earlier report shows complete\n"
    "The exit status is 0 when everything succeeded, 1 when anything failed (a line each on standard\n"
    "error). The password comes from ZOBRAN_PASSWORD, the remembered settings or a prompt.");

QStringList skippedDatabases(const QString& path)
{
    QStringList names;
    for (const QString& line : readTextFileLines(path, LineEnds::Any)) {
        const QString name = line.trimmed();
        if (!name.isEmpty() && !name.startsWith(QLatin1Char('#')))
            names << name;
    }
    return names;
}

} // namespace

int updateCommand(const QStringList& words)
{
    const ParsedOptions options = parseCommandOptions(words,
                                                      {{QStringLiteral("databases")},
                                                       {QStringLiteral("all"), false},
                                                       {QStringLiteral("skip")},
                                                       {QStringLiteral("parallel")},
                                                       {QStringLiteral("on-failure")},
                                                       {QStringLiteral("report")},
                                                       {QStringLiteral("resume")}});
    if (printedHelp(options, Usage))
        return ExitSuccess;
    const bool all = options.has(QStringLiteral("all"));
    if (all == options.has(QStringLiteral("databases")))
        throw UsageError(QStringLiteral("give either --databases DB,DB,... or --all"));
    if (options.operands.isEmpty())
        throw UsageError(QStringLiteral("give the script files to run"));
    const QString onFailure = options.value(QStringLiteral("on-failure"), QStringLiteral("continue"));
    if (onFailure != QStringLiteral("stop") && onFailure != QStringLiteral("continue"))
        throw UsageError(QStringLiteral("--on-failure takes stop or continue, not \"%1\"").arg(onFailure));

    MultiDatabaseRunPlan plan;
    plan.databasesAtATime = options.number(QStringLiteral("parallel"), DefaultParallel, 1);
    if (plan.databasesAtATime > MaxParallel)
        throw UsageError(QStringLiteral("--parallel goes up to %1").arg(MaxParallel));
    plan.goOnAfterFailedDatabase = onFailure == QStringLiteral("continue");
    for (const QString& file : options.operands) {
        const QFileInfo info(file);
        if (!info.isFile())
            throw UsageError(QStringLiteral("no script file %1").arg(file));
        plan.files << info.absoluteFilePath();
    }
    if (!all)
        plan.databases = options.value(QStringLiteral("databases")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    const QStringList skipped
        = options.has(QStringLiteral("skip")) ? skippedDatabases(options.value(QStringLiteral("skip"))) : QStringList();
    if (options.has(QStringLiteral("resume")))
        plan.completed = RunReport::completedPairs(options.value(QStringLiteral("resume")));

    const ConnectionValues values = connectionValues(options, false);
    plan.server = values.server;
    plan.login = values.login;
    plan.password = values.password;
    const QString reportPath = options.has(QStringLiteral("report"))
        ? QFileInfo(options.value(QStringLiteral("report"))).absoluteFilePath()
        : RunReport::defaultPath();

    auto failures = std::make_shared<ImportFailureLog>(QStringLiteral("ZOBRAN-CLI"));
    auto reach = std::make_shared<ImportReach>();
    auto result = std::make_shared<MultiDatabaseRunResult>();
    auto failureLines = std::make_shared<QStringList>();
    auto ran = std::make_shared<MultiDatabaseRunPlan>(plan);
    const BackgroundRun::Outcome outcome = runWithProgress([=](const StopSource& stop, RunProgress& progress) {
        if (all) {
            progress.setStatus(QStringLiteral("Listing the databases of %1 ...").arg(values.server));
            db::Connection server;
            server.open(db::importServerConnectionString(values.server, values.login, values.password));
            const db::Connection::RunUse use(server, stop);
            ran->databases = db::readCatalogList(db::userDatabaseListQuery(), server);
        }
        for (const QString& name : skipped)
            ran->databases.removeAll(name);
        RunReport report(reportPath);
        const auto problem = [&](const QString& line) {
            progress.post([line, failureLines] {
                printProblem(QStringLiteral("zobran-cli: ") + line);
                *failureLines << line;
            });
        };
        MultiDatabaseRunHooks hooks;
        hooks.databaseNotOpened = [&](const QString& database, const AppError& error) {
            problem(database + QStringLiteral(": cannot open the database: ") + oneLine(error.description()));
        };
        hooks.connectionLost = [&](const QString& database) {
            problem(database + QStringLiteral(": the connection was lost; the rest of it was not run"));
        };
        hooks.fileEnded = [&](const QString& database, const QString& path, const ScriptFileOutcome& file) {
            if (file.failed())
                problem(database + QStringLiteral(": ") + path + QStringLiteral(": ") + file.failureText()
                        + (file.firstError.isEmpty() ? QString() : QStringLiteral(" (") + file.firstError + ')'));
        };
        hooks.databaseFinished = [&](const QString& database) {
            progress.post([database] { printLine(database + QStringLiteral(": done")); });
        };
        deleteBatchFile();
        *result = runMultiDatabase(*ran, *failures, stop, progress, *reach, &report, hooks);
        for (const QString& database : result->notStarted)
            problem(database + QStringLiteral(": not started, for an earlier database failed (--on-failure stop)"));
    });

    if (QFileInfo::exists(reportPath))
        printProblem(QStringLiteral("zobran-cli: the run's report: ") + reportPath);
    if (const std::optional<int> status = failedRunStatus(
            outcome, QStringLiteral("update"), [&] { return stoppedRunText(reach->snapshot(), outcome.givenUp); }))
        return *status;
    if (!failures->logTrouble().isEmpty())
        printProblem(QStringLiteral("zobran-cli: the daily error log could not be written: ") + failures->logTrouble());
    const bool failed = !result->failedDatabases.isEmpty() || result->anyFileFailed || !result->notStarted.isEmpty()
        || failures->anyLogged();
    return failed ? ExitFailure : ExitSuccess;
}

} // namespace zobran::cli
