#pragma once

#include "basics/AppError.h"
#include "generate/ScriptGenerator.h"
#include "generate/ScriptKind.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace zobran {

namespace db {
class Connection;
}

class RunProgress;
class ScriptFileWriter;
class StopSource;

// A generation as the Generate Script window and the command line run it: every listed query read
// once on the connection, its rows turned into statements, and the script files written as they
// fall due.
struct GenerationRequest {
    std::vector<ScriptQuery> queries;
    ScriptKind kind = ScriptKind::Sql;
    QString limitText; // "Limit Records": records per file, 0 for one file
};

// How it went.
struct GenerationResult {
    bool ended = false;                 // the generation ran to its end
    std::optional<AppError> failure;    // what ended it early (reported as the generation's failure)
    std::optional<AppError> cutFailure; // or a statement that could not be cut into lines
    QString lastCompleteFile;           // the last file written completely; "" when none
    long failedWrites = 0;              // file writes that failed (their lines went into the next file)
};

struct GenerationHooks {
    // The first failed write of a run, at once; the run waits for it (the user may free space)
    // and goes on. Later failures are only counted.
    std::function<void(const AppError& error)> firstWriteFailed;
    // Each file written completely, as soon as it is.
    std::function<void(const QString& path)> fileWritten;
};

// Runs the generation, filling in the result as it goes: the status shows the rows read and
// written; a stop between rows or while a query is read raises RunStopped, with the result telling
// how far it got (files written before stay; a file being written is taken back).
void runGeneration(const GenerationRequest& request, db::Connection& connection, ScriptGenerator& generator,
                   ScriptFileWriter& writer, const StopSource& stop, RunProgress& progress, GenerationResult& result,
                   const GenerationHooks& hooks = {});

} // namespace zobran
