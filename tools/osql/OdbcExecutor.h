#pragma once

#include "osql/TextExecutor.h"

#include "db/OdbcHandle.h"

namespace zobran::db {
class Connection;
}

namespace zobran::osql {

class ScriptOutput;

// Runs texts over an open connection on one statement handle, used again for every text. Prints
// every message the driver reports (errors, warnings and the server's informational messages) and
// the rows of any result, and walks all results of a batch so that a failure in a later statement
// of it is seen too.
class OdbcExecutor : public TextExecutor {
public:
    OdbcExecutor(db::Connection& connection, ScriptOutput& output);

    // A text that holds a NUL character is not sent: its refusal is printed and it counts as failed.
    bool execute(const QString& text) override;
    bool connectionLost() const override { return lost_; }

private:
    // Prints the records and notes whether they say that the connection is gone.
    void print(const QList<db::Diagnostic>& records);
    // Prints the records the handle holds.
    void printMessages();
    // The same after a failure; false when going on to the next result makes no sense.
    bool printMessagesAndGoOn();
    // Prints the rows of the current result, if it has columns; false when fetching failed.
    bool printRows();

    db::OdbcHandle statement_;
    ScriptOutput& output_;
    bool lost_ = false;
};

} // namespace zobran::osql
