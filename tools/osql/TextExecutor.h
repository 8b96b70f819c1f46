#pragma once

#include <QString>

namespace zobran::osql {

// Where the runner sends what it has cut from a script.
class TextExecutor {
public:
    virtual ~TextExecutor() = default;
    // Runs one statement or one batch; false when any part of it failed.
    virtual bool execute(const QString& text) = 0;
};

} // namespace zobran::osql
