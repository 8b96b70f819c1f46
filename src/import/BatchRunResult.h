#pragma once

#include <QString>

namespace zobran {

// The exit status with which OSQL says that its connection was lost during the run and the rest of
// the script did not run (1 is any other failure).
constexpr int ConnectionLostStatus = 2;

// How one run of the batch file ended.
struct BatchRunResult {
    bool started = false;
    bool crashed = false; // the shell did not end by itself
    bool stopped = false; // the run was stopped, so the shell was ended
    int exitStatus = 0;
    QString output;     // what the tool printed (its last part, when it printed a lot)
    QString startError; // why it could not be started

    bool failed() const { return !started || crashed || exitStatus != 0; }
    // OSQL ended with the status that says its connection was lost during the run.
    bool connectionLost() const { return started && !crashed && exitStatus == ConnectionLostStatus; }
    // "OSQL ended with exit status 1", "OSQL could not be started: ...".
    QString outcome() const;
};

} // namespace zobran
