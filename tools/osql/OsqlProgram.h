#pragma once

#include "basics/StopSource.h"

#include <QStringList>

#include <cstdio>

namespace zobran::osql {

constexpr int ExitSuccess = 0;
constexpr int ExitFailure = 1;
// The connection was lost during the run; the rest of the script did not run. The import windows
// know this status as ConnectionLostStatus (import/BatchRunResult.h).
constexpr int ExitConnectionLost = 2;

// The whole program: reads the command line (args without the program name), opens the script,
// connects through the "SQL Server" driver and runs the script. Against SQL Server each batch goes
// to the server whole; any other server gets it one statement at a time.
//
// Returns 0 when every batch (every statement) succeeded or when -? asked for the usage, 1 after a
// command line it cannot follow (the usage goes to err), a script it cannot read, a refused login
// (the driver's messages are printed) or a failure anywhere in the script, and 2 when the
// connection was lost during the run (the script stops there). A stop (the program is told to
// end) cancels the statement in flight and ends the run with 1.
int runOsql(const QStringList& args, std::FILE* out, std::FILE* err, const StopSource& stop = StopSource());

} // namespace zobran::osql
