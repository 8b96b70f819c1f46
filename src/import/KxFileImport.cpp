#include "import/KxFileImport.h"

#include "basics/TextFile.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Statement.h"
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
    while (file.readLine(line)) {
        ++lineNumber;
        if (!reader.hasUnfinishedStatement())
            firstLine = lineNumber;
        utf8 = line.toUtf8();
        if (const auto statement
            = reader.feedLine(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))))
            handlers.statement(textOf(*statement), firstLine);
    }
    if (reader.hasUnfinishedStatement() && handlers.unended)
        handlers.unended(textOf(reader.unfinishedText()), firstLine);
}

KxImportCounts importKxFile(const QString& path, db::Connection& connection, const KxImportHooks& hooks)
{
    KxImportCounts counts;
    // One statement handle for the whole file: a handle for each statement would cost the driver an
    // allocation and a release every time, a good part of what a short INSERT costs the program.
    std::optional<db::Statement> runner;
    const auto failed = [&](const QString& statement, long line, const AppError& error) {
        ++counts.failed;
        if (hooks.statementFailed)
            hooks.statementFailed(KxStatementFailure{path, line, statement, error});
    };
    KxFileReadHandlers handlers;
    handlers.statement = [&](const QString& statement, long line) {
        if (hooks.beforeStatement)
            hooks.beforeStatement(statement);
        try {
            if (!runner)
                runner.emplace(connection);
            runner->execute(statement);
            ++counts.executed;
            if (hooks.afterStatement)
                hooks.afterStatement(counts, line, true);
        } catch (const db::DbError& refused) {
            failed(statement, line, refused);
            if (hooks.afterStatement)
                hooks.afterStatement(counts, line, false);
        }
    };
    handlers.unended = [&](const QString& text, long line) {
        failed(text, line,
               AppError(errnum::InvalidArgument,
                        QStringLiteral("The file ends inside a statement: its closing \">\" is missing.")));
    };
    readKxFile(path, handlers);
    return counts;
}

} // namespace zobran
