#pragma once

#include <QString>

namespace zobran {

// How one run of the batch file ended.
struct BatchRunResult {
    bool started = false;
    bool crashed = false; // the shell did not end by itself
    bool stopped = false; // the run was stopped, so the shell was ended
    int exitStatus = 0;
    QString output;     // what the tool printed (its last part, when it printed a lot)
    QString startError; // why it could not be started

    bool failed() const { return !started || crashed || exitStatus != 0; }
    // "OSQL ended with exit status 1", "OSQL could not be started: ...".
    QString outcome() const;
};

} // namespace zobran
