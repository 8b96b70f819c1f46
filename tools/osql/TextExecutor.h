#pragma once

#include <QString>

namespace zobran::osql {

// Where the runner sends what it has cut from a script.
class TextExecutor {
public:
    virtual ~TextExecutor() = default;
    // Runs one statement or one batch; false when any part of it failed.
    virtual bool execute(const QString& text) = 0;
    // Runs statements joined into one text that the server runs all or nothing
    // (db::StatementBatcher); shows what it gave only when it was applied, and only the word of a
    // lost connection when it failed. False when any part of it failed.
    virtual bool executeBatch(const QString& text) = 0;
    // After a failure: true when the connection is gone, so that nothing more can run.
    virtual bool connectionLost() const { return false; }
};

} // namespace zobran::osql
