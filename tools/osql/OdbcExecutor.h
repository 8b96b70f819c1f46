#pragma once

#include "osql/TextExecutor.h"

#include "db/Statement.h"

namespace zobran::db {
class Connection;
}

namespace zobran::osql {

class ScriptOutput;

// Runs texts over an open connection on one statement, used again for every text. Prints every
// message the driver reports (errors, warnings and the server's informational messages) and the
// rows of any result, and walks all results of a batch so that a failure in a later statement of
// it is seen too.
class OdbcExecutor : public TextExecutor {
public:
    OdbcExecutor(db::Connection& connection, ScriptOutput& output);

    // A text that holds a NUL character is not sent: its refusal is printed and it counts as failed.
    bool execute(const QString& text) override;
    bool executeBatch(const QString& text) override;
    bool connectionLost() const override { return lost_; }

private:
    db::Statement statement_;
    ScriptOutput& output_;
    bool lost_ = false;
};

} // namespace zobran::osql
