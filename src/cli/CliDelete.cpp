// zobran-cli delete: the Delete Script window's statements for named tables, saved or run.

#include "cli/CliCommands.h"
#include "cli/CliConnection.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"

#include "basics/FileError.h"
#include "basics/RunStopped.h"
#include "db/CatalogQueries.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "delete/DeleteScript.h"

#include <QFileInfo>

#include <atomic>
#include <memory>

namespace zobran::cli {

namespace {

const QString Usage = QStringLiteral(
    "usage: zobran-cli delete --database DB --tables T,T,... [--save FILE [--replace]]\n"
    "                         [--run --confirm CONFIRM] [--server S] [--login L]\n"
    "Builds one \"Delete from\" statement per table, as the Delete Script window does, for tables the\n"
    "window offers (the user tables but the configuration tables). Without --save or --run the\n"
    "statements are printed. --save writes them to FILE (an existing FILE only with --replace);\n"
    "--run executes them one by one and needs the confirmation word CONFIRM exactly. The password\n"
    "comes from ZOBRAN_PASSWORD, the remembered settings or a prompt.");

} // namespace

int deleteCommand(const QStringList& words)
{
    const ParsedOptions options = parseCommandOptions(words,
                                                      {{QStringLiteral("database")},
                                                       {QStringLiteral("tables")},
                                                       {QStringLiteral("save")},
                                                       {QStringLiteral("replace"), false},
                                                       {QStringLiteral("run"), false},
                                                       {QStringLiteral("confirm")}});
    if (printedHelp(options, Usage))
        return ExitSuccess;
    if (!options.operands.isEmpty())
        throw UsageError(QStringLiteral("delete takes no file names: ") + options.operands.join(QLatin1Char(' ')));
    const QStringList tables = options.value(QStringLiteral("tables")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (tables.isEmpty())
        throw UsageError(QStringLiteral("give the tables with --tables T,T,..."));
    const bool run = options.has(QStringLiteral("run"));
    if (run && options.value(QStringLiteral("confirm")) != QStringLiteral("CONFIRM"))
        throw UsageError(QStringLiteral("running the statements needs --confirm CONFIRM"));
    if (!run && options.has(QStringLiteral("confirm")))
        throw UsageError(QStringLiteral("--confirm goes with --run"));
    if (options.has(QStringLiteral("replace")) && !options.has(QStringLiteral("save")))
        throw UsageError(QStringLiteral("--replace goes with --save"));
    const ConnectionValues values = connectionValues(options, true);

    DeleteScriptSaveName saveName;
    if (options.has(QStringLiteral("save"))) {
        saveName.path = QFileInfo(options.value(QStringLiteral("save"))).absoluteFilePath();
        saveName.fileName = QFileInfo(saveName.path).fileName();
        saveName.replace = options.has(QStringLiteral("replace"));
        if (!saveName.replace && QFileInfo::exists(saveName.path)) {
            printProblem(QStringLiteral("zobran-cli: %1 exists; give --replace to overwrite it").arg(saveName.path));
            return ExitFailure;
        }
    }
    auto statements = std::make_shared<QStringList>();
    auto refused = std::make_shared<QStringList>();
    auto ran = std::make_shared<std::atomic<int>>(0);
    const BackgroundRun::Outcome outcome = runWithProgress([=](const StopSource& stop, RunProgress& progress) {
        progress.setStatus(QStringLiteral("Connecting ..."));
        db::Connection connection;
        connection.open(db::odbcConnectionString(db::SqlServerDriver, values.server, values.database, values.login,
                                                 values.password));
        const db::Connection::RunUse use(connection, stop);
        const QStringList offered = db::readCatalogList(db::deletableTableListQuery(), connection);
        for (const QString& table : tables) {
            if (offered.contains(table))
                *statements << deleteStatement(table, connection.serverInfo());
            else
                *refused << table;
        }
        if (!refused->isEmpty())
            return;
        // Saved before it runs: what ran is on the disk even when the run fails.
        if (!saveName.path.isEmpty())
            writeDeleteScript(saveName, *statements);
        if (!run)
            return;
        const int total = static_cast<int>(statements->size());
        executeEachStatement(*statements, connection, [&](int done) {
            ran->store(done);
            progress.setStatus(QStringLiteral("Delete %1 of %2").arg(done).arg(total));
        });
    });

    if (outcome.givenUp || outcome.stopRequested) {
        printProblem(QStringLiteral("zobran-cli: delete stopped after %1 of %2 statement(s); the rest did not run.")
                         .arg(ran->load())
                         .arg(statements->size()));
        return ExitFailure;
    }
    if (const std::optional<AppError> error = outcome.error()) {
        QString where;
        if (run && ran->load() < statements->size())
            where = QStringLiteral(" (") + statements->at(ran->load()) + QStringLiteral(", after ")
                + QString::number(ran->load()) + QStringLiteral(" statement(s) had run)");
        printProblem(QStringLiteral("zobran-cli: ") + error->description().section(QLatin1Char('\n'), 0, 0) + where);
        return ExitFailure;
    }
    for (const QString& table : *refused)
        printProblem(QStringLiteral("zobran-cli: %1 is not a table the Delete Script window offers in %2")
                         .arg(table, values.database));
    if (!refused->isEmpty())
        return ExitFailure;

    if (!saveName.path.isEmpty())
        printLine(QStringLiteral("Saved %1 statement(s) to %2").arg(statements->size()).arg(saveName.path));
    if (run)
        printLine(QStringLiteral("Delete successfully: %1 statement(s) ran.").arg(statements->size()));
    if (!run && !options.has(QStringLiteral("save")))
        for (const QString& statement : *statements)
            printLine(statement);
    return ExitSuccess;
}

} // namespace zobran::cli
