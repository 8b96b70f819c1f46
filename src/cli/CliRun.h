#pragma once

#include "basics/BackgroundRun.h"

#include <functional>
#include <optional>

namespace zobran::cli {

// Runs the work on a thread of its own, as a window runs it, while this thread shows the run's
// status on standard error (only when that is a terminal) and turns Ctrl+C or a termination
// signal into a stop. Returns once the work has ended, or has been given up after a stop.
BackgroundRun::Outcome runWithProgress(BackgroundRun::Work work);

// What a command says when its run did not end well: stopped (how far it got, from reached) or
// failed (the error). The exit status then (1); nothing when the run ended well.
std::optional<int> failedRunStatus(const BackgroundRun::Outcome& outcome, const QString& what,
                                   const std::function<QString()>& reached);

// A line on standard error, in UTF-8 whatever the locale (a status line being shown is cleared first).
void printProblem(const QString& line);
// A line on standard output, in UTF-8.
void printLine(const QString& line);

} // namespace zobran::cli
