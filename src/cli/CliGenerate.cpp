// zobran-cli generate: the Generate Script window's run, the same script files byte for byte.

#include "cli/CliCommands.h"
#include "cli/CliConnection.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"

#include "basics/RunProgress.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/ExtraConnectionSettings.h"
#include "generate/GenerationRun.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"

#include <QFileInfo>

#include <memory>

namespace zobran::cli {

namespace {

const QString Usage
    = QStringLiteral("usage: zobran-cli generate --database DB --query SQL --table NAME [--query SQL --table NAME]...\n"
                     "                           --kind sql|kx [--limit N] [--out DIR] [--server S] [--login L]\n"
                     "Writes the rows of each query as INSERT statements into the table named after it, as the\n"
                     "Generate Script window does with automatic file names: SQL-<date>-<time>-<n>.SQL (or .KX) in\n"
                     "the Export folder, or in DIR. --limit N starts a new file after every N rows (0, the default:\n"
                     "one file). The files are printed as they are written. The password comes from ZOBRAN_PASSWORD,\n"
                     "the remembered settings or a prompt.");

} // namespace

int generateCommand(const QStringList& words)
{
    const ParsedOptions options = parseCommandOptions(words,
                                                      {{QStringLiteral("database")},
                                                       {QStringLiteral("query"), true, true},
                                                       {QStringLiteral("table"), true, true},
                                                       {QStringLiteral("kind")},
                                                       {QStringLiteral("limit")},
                                                       {QStringLiteral("out")}});
    if (printedHelp(options, Usage))
        return ExitSuccess;
    if (!options.operands.isEmpty())
        throw UsageError(QStringLiteral("generate takes no file names: ") + options.operands.join(QLatin1Char(' ')));
    const QStringList queries = options.all(QStringLiteral("query"));
    const QStringList tables = options.all(QStringLiteral("table"));
    if (queries.isEmpty() || queries.size() != tables.size())
        throw UsageError(QStringLiteral("give each --query its --table, in pairs"));
    const QString kindText = options.value(QStringLiteral("kind")).toLower();
    if (kindText != QStringLiteral("sql") && kindText != QStringLiteral("kx"))
        throw UsageError(QStringLiteral("--kind takes sql or kx"));
    GenerationRequest request;
    for (qsizetype i = 0; i < queries.size(); ++i) {
        if (queries[i].isEmpty() || tables[i].isEmpty())
            throw UsageError(QStringLiteral("a query and its table cannot be empty"));
        request.queries.push_back({queries[i], tables[i]});
    }
    request.kind = kindText == QStringLiteral("kx") ? ScriptKind::Kx : ScriptKind::Sql;
    request.limitText = QString::number(options.number(QStringLiteral("limit"), 0, 0));
    const QString folder = options.has(QStringLiteral("out"))
        ? QFileInfo(options.value(QStringLiteral("out"))).absoluteFilePath()
        : QString();
    const ConnectionValues values = connectionValues(options, true);

    auto result = std::make_shared<GenerationResult>();
    auto written = std::make_shared<QStringList>();
    auto counts = std::make_shared<std::pair<long, long>>(0, 0);
    const BackgroundRun::Outcome outcome = runWithProgress([=](const StopSource& stop, RunProgress& progress) {
        progress.setStatus(QStringLiteral("Connecting ..."));
        db::Connection connection;
        connection.open(db::withExtraSettings(db::odbcConnectionString(db::SqlServerDriver, values.server,
                                                                       values.database, values.login, values.password),
                                              values.server));
        connection.setCursorLocation(db::CursorLocationClient);
        PendingLineBuffer lines;
        ScriptFileWriter writer(
            lines, ScriptFileWriter::Hooks{{}, {}, [&progress](const QString& text) { progress.setStatus(text); }});
        writer.setAutoName(true);
        writer.setFolder(folder);
        ScriptGenerator generator(lines);
        GenerationHooks hooks;
        hooks.firstWriteFailed = [&progress](const AppError& error) {
            progress.post([error] {
                printProblem(QStringLiteral("zobran-cli: a script file could not be written: ")
                             + error.description().section(QLatin1Char('\n'), 0, 0)
                             + QStringLiteral(" (its lines go into the next file)"));
            });
        };
        hooks.fileWritten = [&progress, written](const QString& path) {
            progress.post([path, written] {
                *written << path;
                printLine(path);
            });
        };
        runGeneration(request, connection, generator, writer, stop, progress, *result, hooks);
        *counts = {generator.valuesWithCarriageReturn(), generator.statementsNotRestorable()};
        if (!lines.isEmpty() && result->ended)
            result->ended = false; // lines built but never written: the script is incomplete
    });

    if (outcome.givenUp || outcome.stopRequested) {
        printProblem(QStringLiteral("zobran-cli: generation stopped; ")
                     + (written->isEmpty() ? QStringLiteral("no file was written completely.")
                                           : QStringLiteral("the last file written completely: ") + written->last()));
        return ExitFailure;
    }
    if (const std::optional<AppError> error = outcome.error()) {
        printProblem(QStringLiteral("zobran-cli: ") + error->description().section(QLatin1Char('\n'), 0, 0));
        return ExitFailure;
    }
    for (const std::optional<AppError>& failure : {result->failure, result->cutFailure})
        if (failure)
            printProblem(QStringLiteral("zobran-cli: the generation stopped on an error: ")
                         + failure->description().section(QLatin1Char('\n'), 0, 0));
    if (result->failedWrites > 0)
        printProblem(QStringLiteral("zobran-cli: %1 file write(s) failed").arg(result->failedWrites));
    if (request.kind == ScriptKind::Kx && counts->first > 0)
        printProblem(QStringLiteral("zobran-cli: %1 value(s) held a carriage return, which a KX file cannot carry: "
                                    "those values will not read back exactly")
                         .arg(counts->first));
    if (request.kind == ScriptKind::Kx && counts->second > 0)
        printProblem(QStringLiteral("zobran-cli: %1 statement(s) had to be cut where a KX reader cannot restore them")
                         .arg(counts->second));
    if (!result->ended)
        return ExitFailure;
    if (written->isEmpty())
        printProblem(QStringLiteral("zobran-cli: no script file was written: the queries returned no rows"));
    return ExitSuccess;
}

QString programUsage()
{
    return QStringLiteral(
        "usage: zobran-cli COMMAND [OPTION]... [FILE]...\n"
        "The program's runs without its windows, on the same engine:\n"
        "  generate   the rows of queries as INSERT scripts (SQL or KX)\n"
        "  import     script files against one database\n"
        "  update     script files against many databases of a server, several at a time\n"
        "  delete     \"Delete from\" statements for tables: printed, saved or run\n"
        "Each command takes --server and --login (else the remembered ones); the password comes from\n"
        "ZOBRAN_PASSWORD, the remembered settings or a prompt without echo, never from the command line.\n"
        "zobran-cli COMMAND --help tells more. Exit status: 0 when everything succeeded, 1 when something\n"
        "failed (a line per failure on standard error), 2 for a command line that does not fit.");
}

} // namespace zobran::cli
