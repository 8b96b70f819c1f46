#include "import/KxFileImport.h"

#include "basics/TextFile.h"
#include "db/BatchSize.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "db/StatementBatcher.h"
#include "db/TimeLimits.h"
#include "import/KxStatementReader.h"

#include <optional>

namespace zobran {

void readKxFile(const QString& path, const KxFileReadHandlers& handlers)
{
    TextFileReader file(path, LineEnds::CrOrCrLf);
    KxStatementReader reader;
    QString line;
    long lineNumber = 0;
    long firstLine = 0; // where the statement being read begins
    const auto stray = [&](KxStray kind, const QString& text, long at) {
        if (handlers.stray)
            handlers.stray(kind, text, at);
    };
    while (file.readLine(line)) {
        ++lineNumber;
        if (!reader.hasUnfinishedStatement())
            firstLine = lineNumber;
        const QString* statement = reader.feedLine(line);
        if (reader.droppedUnfinished()) {
            stray(KxStray::Replaced, reader.droppedText(), firstLine);
            firstLine = lineNumber;
        }
        if (reader.lineOutsideStatement())
            stray(KxStray::OutsideStatement, line, lineNumber);
        if (statement)
            handlers.statement(*statement, firstLine);
    }
    if (reader.hasUnfinishedStatement())
        stray(KxStray::Unended, reader.unfinishedText(), firstLine);
}

namespace {

AppError strayError(KxStray kind)
{
    switch (kind) {
    case KxStray::Unended:
        return AppError(errnum::InvalidArgument,
                        QStringLiteral("The file ends inside a statement: its closing \">\" is missing."));
    case KxStray::Replaced:
        return AppError(errnum::InvalidArgument,
                        QStringLiteral("The statement has no closing \">\": the next line opened another statement "
                                       "before it ended, so it was not run."));
    case KxStray::OutsideStatement:
        break;
    }
    return AppError(
        errnum::InvalidArgument,
        QStringLiteral("The line stands outside any statement between \"<\" and \">\", so it was not run."));
}

// The statements of one KX file, sent over the connection through a batcher: counts them, hands
// their fates to the hooks, and keeps the failure each text met.
class KxStatementTarget : public db::BatchTarget {
public:
    KxStatementTarget(const QString& path, db::Connection& connection, const KxImportHooks& hooks,
                      KxImportCounts& counts)
        : path_(path), connection_(connection), hooks_(hooks), counts_(counts)
    {
    }

    db::SendOutcome sendAlone(const db::BatchedStatement& statement) override { return send(statement.text); }
    db::SendOutcome sendBatch(const QString& text) override { return send(text); }

    void applied(const db::BatchedStatement& statement) override
    {
        ++counts_.executed;
        if (hooks_.afterStatement)
            hooks_.afterStatement(counts_, statement.line, true);
    }
    void failed(const db::BatchedStatement& statement) override
    {
        reportFailure(statement.text, statement.line, *lastError_);
        if (hooks_.afterStatement)
            hooks_.afterStatement(counts_, statement.line, false);
    }
    void lost(const db::BatchedStatement& statement) override
    {
        ++counts_.failed;
        loss_ = KxConnectionLoss{path_, statement.line, counts_.executed, 0, *lastError_};
    }
    void notRun(const db::BatchedStatement&) override { ++counts_.notRun; }

    // A statement the server refused or was never sent (a NUL character in it), or stray text.
    void reportFailure(const QString& text, long line, const AppError& error)
    {
        ++counts_.failed;
        if (hooks_.statementFailed)
            hooks_.statementFailed(KxStatementFailure{path_, line, text, error});
    }

    const std::optional<KxConnectionLoss>& loss() const { return loss_; }

private:
    db::SendOutcome send(const QString& text)
    {
        try {
            // One statement handle for the whole file, taken at the first text: a handle for each
            // would cost the driver an allocation and a release every time, a good part of what a
            // short INSERT costs the program.
            if (!runner_) {
                runner_.emplace(connection_);
                runner_->setTimeLimit(db::statementTimeLimit());
            }
            runner_->execute(text);
            return db::SendOutcome::Applied;
        } catch (const db::DbError& refused) {
            lastError_ = refused;
            return refused.isConnectionLost() ? db::SendOutcome::ConnectionLost : db::SendOutcome::Failed;
        }
    }

    const QString& path_;
    db::Connection& connection_;
    const KxImportHooks& hooks_;
    KxImportCounts& counts_;
    std::optional<db::Statement> runner_;
    std::optional<db::DbError> lastError_;
    std::optional<KxConnectionLoss> loss_;
};

} // namespace

KxImportCounts importKxFile(const QString& path, db::Connection& connection, const KxImportHooks& hooks)
{
    KxImportCounts counts;
    KxStatementTarget target(path, connection, hooks, counts);
    db::StatementBatcher batcher(target,
                                 db::BatchSettings{connection.serverInfo().batchForm(), db::statementBatchSize()});
    KxFileReadHandlers handlers;
    handlers.statement = [&](const QString& statement, long line) {
        if (batcher.connectionLost()) { // the file stopped: the rest is only counted
            ++counts.notRun;
            return;
        }
        if (hooks.beforeStatement)
            hooks.beforeStatement(statement);
        batcher.add(db::BatchedStatement{statement, line});
    };
    handlers.stray = [&](KxStray kind, const QString& text, long line) {
        // The statements before it first, so that failures are told in file order.
        batcher.flush();
        if (!batcher.connectionLost())
            target.reportFailure(text, line, strayError(kind));
    };
    readKxFile(path, handlers);
    batcher.flush();
    if (std::optional<KxConnectionLoss> loss = target.loss()) {
        counts.connectionLost = true;
        loss->notRun = counts.notRun;
        if (hooks.connectionLost)
            hooks.connectionLost(*loss);
    }
    return counts;
}

} // namespace zobran
