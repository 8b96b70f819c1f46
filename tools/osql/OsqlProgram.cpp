#include "osql/OsqlProgram.h"

#include "osql/OdbcExecutor.h"
#include "osql/OsqlOptions.h"
#include "osql/ScriptFile.h"
#include "osql/ScriptOutput.h"
#include "osql/ScriptRunner.h"

#include "db/BatchSize.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/ExtraConnectionSettings.h"

#include <memory>

namespace zobran::osql {

namespace {

QString totalsLine(const RunTotals& totals, ScriptSplitter::Mode mode)
{
    const QString what
        = mode == ScriptSplitter::Mode::Statements ? QStringLiteral("statements") : QStringLiteral("batches");
    QString line = QStringLiteral("%1 %2 run, %3 failed").arg(totals.texts).arg(what).arg(totals.failed);
    if (totals.notRun > 0)
        line += QStringLiteral(", %1 not run").arg(totals.notRun);
    return line + QLatin1Char('.');
}

int runScript(const OsqlOptions& options, ScriptOutput& output, const StopSource& stop)
{
    ScriptFile script(options.inputFile);

    db::Connection connection;
    try {
        // The extra connection settings the user keeps for this server apply here as in the windows.
        connection.open(
            db::withExtraSettings(db::odbcConnectionString(db::SqlServerDriver, options.server, options.database,
                                                           options.login, options.password),
                                  options.server));
    } catch (const db::DbError& e) {
        for (const db::Diagnostic& record : e.records())
            output.message(record);
        output.problem(QStringLiteral("OSQL: could not connect to %1 as %2.").arg(options.server, options.login));
        return ExitFailure;
    }

    const auto mode
        = connection.serverInfo().isSqlServer() ? ScriptSplitter::Mode::WholeBatches : ScriptSplitter::Mode::Statements;
    const db::Connection::RunUse use(connection, stop);
    OdbcExecutor executor(connection, output);
    // Against SQL Server each batch goes whole, as the server's own tools send it; elsewhere the
    // statements of a batch go in batches of their own where the server runs them all or nothing.
    ScriptRunner runner(executor, output, mode, script.isUtf8(),
                        db::BatchSettings{connection.serverInfo().batchForm(), db::statementBatchSize()});
    const RunTotals totals = runner.run(script, ScriptPosition{0, 1});
    output.line(totalsLine(totals, mode));
    if (totals.connectionLost)
        return ExitConnectionLost;
    return totals.failed == 0 ? ExitSuccess : ExitFailure;
}

} // namespace

int runOsql(const QStringList& args, std::FILE* out, std::FILE* err, const StopSource& stop)
{
    ScriptOutput output(out, err);
    OsqlOptions options;
    try {
        options = parseCommandLine(args);
    } catch (const UsageError& e) {
        output.problem(QStringLiteral("OSQL: ") + QString::fromStdString(e.what()));
        output.problem(usageText().chopped(1));
        return ExitFailure;
    }
    if (options.showUsage) {
        output.line(usageText().chopped(1));
        output.flush();
        return ExitSuccess;
    }
    int status = ExitFailure;
    try {
        status = runScript(options, output, stop);
    } catch (const std::exception& e) {
        output.problem(QStringLiteral("OSQL: ") + toAppError(e).description());
    }
    output.flush();
    return status;
}

} // namespace zobran::osql
