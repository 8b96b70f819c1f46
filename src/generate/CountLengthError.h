#pragma once

#include "basics/AppError.h"

namespace zobran {

// A failure while cutting a statement into lines or keeping the lines pending. It ends the
// generation (a statement left out would make the script silently incomplete); the window reports
// it under the name of the cutting step.
class CountLengthError : public AppError {
public:
    explicit CountLengthError(const AppError& cause) : AppError(cause) {}
};

} // namespace zobran
