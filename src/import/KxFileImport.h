#pragma once

#include "basics/AppError.h"

#include <QString>

#include <functional>

namespace zobran {

namespace db {
class Connection;
}

// Text of a KX file that is no statement, so nothing of it runs.
enum class KxStray {
    Unended,          // a statement the file never ends
    Replaced,         // a statement without its ">", dropped when the next line opened another one
    OutsideStatement, // a line that is not blank and stands outside any statement
};

// Reads the statements of a KX file in file order, by the rules of the program's text files
// (TextFileBytes); lines end at CR or CR LF, a lone LF stays inside the line (a line feed in a
// value). Each statement comes with the line of the file where it begins; text that is no
// statement goes to stray, with the line where it begins. A file that cannot be opened or read, or
// whose text is refused, raises FileError before any statement is handed out.
struct KxFileReadHandlers {
    std::function<void(const QString& statement, long line)> statement;
    std::function<void(KxStray kind, const QString& text, long line)> stray;
};
void readKxFile(const QString& path, const KxFileReadHandlers& handlers);

// A statement of a KX file that the server refused, one it was never sent (a NUL character in
// it), or stray text of the file.
struct KxStatementFailure {
    QString path;
    long line = 0; // the line of the file where the statement (or the text) begins
    QString statement;
    AppError error;
};

// The connection went away while a file was imported: the file stopped there.
struct KxConnectionLoss {
    QString path;
    long line = 0;     // where the statement that met the loss begins
    long executed = 0; // statements of the file that ran before it
    long notRun = 0;   // statements of the file after it
    AppError error;
};

struct KxImportCounts {
    long executed = 0; // statements the server took
    long failed = 0;   // statements it refused or was not sent, and stray text of the file
    long notRun = 0;   // statements after a lost connection
    bool connectionLost = false;
};

struct KxImportHooks {
    // Called for each statement as it is read, before its batch runs.
    std::function<void(const QString& statement)> beforeStatement;
    // Called for each failure; reading goes on with the next line.
    std::function<void(const KxStatementFailure& failure)> statementFailed;
    // Called once, at the end of a file whose connection was lost.
    std::function<void(const KxConnectionLoss& loss)> connectionLost;
    // Called after each statement with the counts so far, the line where it began and whether the
    // server took it.
    std::function<void(const KxImportCounts& counts, long line, bool executed)> afterStatement;
};

// Executes the statements of a KX file over the connection in file order, in batches of up to
// db::statementBatchSize() statements where the server runs a batch all or nothing
// (db::StatementBatcher); a batch that fails is split until its failing statements are found, so
// the outcome, the counts and the hooks' calls are those of a run statement by statement. A
// statement the server refuses, or that holds a NUL character, is handed to the hooks and skipped,
// and so is stray text. When the connection is lost the file stops there: the statement that met
// the loss (the first of its batch) counts as failed, the statements after it as not run, and the
// hooks hear of it once. A file that cannot be read raises FileError before anything runs; a
// connection that is missing or closed raises as well, at its first statement. A stop of the run
// using the connection cancels the text in flight and raises RunStopped: the batches applied before
// it have been told to afterStatement, the statements of the one in flight have not.
KxImportCounts importKxFile(const QString& path, db::Connection& connection, const KxImportHooks& hooks = {});

} // namespace zobran
