#pragma once

#include "basics/BackgroundRun.h"

namespace zobran::cli {

// Runs the work on a thread of its own, as a window runs it, while this thread shows the run's
// status on standard error (only when that is a terminal) and turns Ctrl+C or a termination
// signal into a stop. Returns once the work has ended, or has been given up after a stop.
BackgroundRun::Outcome runWithProgress(BackgroundRun::Work work);

// A line on standard error, in UTF-8 whatever the locale (a status line being shown is cleared first).
void printProblem(const QString& line);
// A line on standard output, in UTF-8.
void printLine(const QString& line);

} // namespace zobran::cli
