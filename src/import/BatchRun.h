#pragma once

#include "import/BatchRunResult.h"
#include "import/OsqlCommandLine.h"

#include <QString>

#include <functional>

namespace zobran {

class StopSource;

// What the tool prints, handed on as it comes.
using ToolOutput = std::function<void(const QString& text)>;

// Runs the batch file with /bin/sh, its OSQL the tool beside the program, and waits for its end on the calling thread
// (a run's thread, never a window's), handing on what the tool prints as it comes; the result keeps its last part. The
// shell and the tool it starts form a process group of their own: a stop ends them both (terminate, then kill after
// StopGraceMs) and the result says the run was stopped.
BatchRunResult runBatchFile(const QString& batchPath, const StopSource& stop, const ToolOutput& output);

// One .sql file as the import windows run it: the command line from the arguments, the batch file
// (TmExe.bat unless another is named: runs side by side have one each) replaced by it, run and
// waited for. A batch file that cannot be written raises FileError.
BatchRunResult runOsqlFile(const OsqlArguments& arguments, const StopSource& stop, const ToolOutput& output,
                           const QString& batchPath = {});

inline constexpr int StopGraceMs = 2000;
// The most output a result keeps, in characters.
inline constexpr qsizetype KeptOutputChars = 16000;

} // namespace zobran
