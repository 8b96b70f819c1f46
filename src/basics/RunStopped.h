#pragma once

#include "basics/AppError.h"

namespace zobran {

// A run ended because the user (or a time limit of the caller's) asked it to stop. It travels up
// like any failure, but its reporting place tells how far the run got instead of showing an error.
class RunStopped : public AppError {
public:
    RunStopped();
};

} // namespace zobran
