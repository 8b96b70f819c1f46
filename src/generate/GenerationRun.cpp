#include "generate/GenerationRun.h"

#include "basics/RunProgress.h"
#include "basics/RunStopped.h"
#include "basics/StopSource.h"
#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/TimeLimits.h"
#include "generate/ScriptFileWriter.h"

#include <QElapsedTimer>

namespace zobran {

void runGeneration(const GenerationRequest& request, db::Connection& connection, ScriptGenerator& generator,
                   ScriptFileWriter& writer, const StopSource& stop, RunProgress& progress, GenerationResult& result,
                   const GenerationHooks& hooks)
{
    ScriptGenerator::Callbacks callbacks;
    callbacks.status = [&progress](const QString& text) { progress.setStatus(text); };
    QElapsedTimer sinceStatus;
    callbacks.rowProgress = [&](long row, long total) {
        stop.throwIfStopRequested();
        if (!sinceStatus.isValid() || sinceStatus.elapsed() >= 50) {
            progress.setStatus(generateStatusText(row, total));
            sinceStatus.start();
        }
    };
    callbacks.fileDue = [&](qint16 fileNumber) {
        stop.throwIfStopRequested();
        try {
            writer.writePendingLines(request.kind, fileNumber);
            result.lastCompleteFile = writer.lastScriptFile();
            if (hooks.fileWritten && !result.lastCompleteFile.isEmpty())
                hooks.fileWritten(result.lastCompleteFile);
        } catch (const RunStopped&) {
            throw;
        } catch (const std::exception& e) {
            if (result.failedWrites++ == 0 && hooks.firstWriteFailed)
                hooks.firstWriteFailed(toAppError(e));
        }
    };
    // Each query is read once; its statements are built as its rows arrive.
    const ScriptGenerator::QueryReader readQuery = [&](const QString& sql, db::RowSink& rows) {
        progress.setStatus(readingStatusText(0));
        db::readQueryRows(
            sql, connection, rows, [&progress](std::size_t n) { progress.setStatus(readingStatusText(n)); },
            db::statementTimeLimit());
    };
    try {
        const db::Connection::RunUse use(connection, stop);
        if (!request.queries.empty())
            generator.setServer(connection.serverInfo());
        generator.run(request.queries, request.kind, request.limitText, readQuery, callbacks);
        result.ended = true;
    } catch (const RunStopped&) {
        throw;
    } catch (const CountLengthError& e) {
        result.cutFailure = e;
    } catch (const std::exception& e) {
        result.failure = toAppError(e);
    }
    progress.setStatus(QString());
}

} // namespace zobran
