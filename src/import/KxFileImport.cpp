#include "import/KxFileImport.h"

#include "basics/TextFile.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "db/TimeLimits.h"
#include "import/KxStatementReader.h"

#include <optional>

namespace zobran {

namespace {

QString textOf(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

void readKxFile(const QString& path, const KxFileReadHandlers& handlers)
{
    TextFileReader file(path, LineEnds::CrOrCrLf);
    KxStatementReader reader;
    QString line;
    QByteArray utf8;
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
        utf8 = line.toUtf8();
        const auto statement
            = reader.feedLine(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        if (reader.droppedUnfinished()) {
            stray(KxStray::Replaced, textOf(reader.droppedText()), firstLine);
            firstLine = lineNumber;
        }
        if (reader.lineOutsideStatement())
            stray(KxStray::OutsideStatement, line, lineNumber);
        if (statement)
            handlers.statement(textOf(*statement), firstLine);
    }
    if (reader.hasUnfinishedStatement())
        stray(KxStray::Unended, textOf(reader.unfinishedText()), firstLine);
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

} // namespace

KxImportCounts importKxFile(const QString& path, db::Connection& connection, const KxImportHooks& hooks)
{
    KxImportCounts counts;
    // One statement handle for the whole file, taken at the first statement: a handle for each
    // statement would cost the driver an allocation and a release every time, a good part of what a
    // short INSERT costs the program.
    std::optional<db::Statement> runner;
    std::optional<KxConnectionLoss> loss;
    const auto failed = [&](const QString& statement, long line, const AppError& error) {
        ++counts.failed;
        if (hooks.statementFailed)
            hooks.statementFailed(KxStatementFailure{path, line, statement, error});
    };
    KxFileReadHandlers handlers;
    handlers.statement = [&](const QString& statement, long line) {
        if (loss) { // the file stopped: the rest is only counted
            ++counts.notRun;
            return;
        }
        if (hooks.beforeStatement)
            hooks.beforeStatement(statement);
        try {
            if (!runner) {
                runner.emplace(connection);
                runner->setTimeLimit(db::statementTimeLimit());
            }
            runner->execute(statement);
            ++counts.executed;
            if (hooks.afterStatement)
                hooks.afterStatement(counts, line, true);
        } catch (const db::DbError& refused) {
            if (!refused.isConnectionLost()) {
                failed(statement, line, refused);
                if (hooks.afterStatement)
                    hooks.afterStatement(counts, line, false);
                return;
            }
            ++counts.failed;
            loss = KxConnectionLoss{path, line, counts.executed, 0, refused};
        }
    };
    handlers.stray = [&](KxStray kind, const QString& text, long line) {
        if (!loss)
            failed(text, line, strayError(kind));
    };
    readKxFile(path, handlers);
    if (loss) {
        counts.connectionLost = true;
        loss->notRun = counts.notRun;
        if (hooks.connectionLost)
            hooks.connectionLost(*loss);
    }
    return counts;
}

} // namespace zobran
