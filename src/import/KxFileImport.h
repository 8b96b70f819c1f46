#pragma once

#include "basics/AppError.h"

#include <QString>

#include <functional>

namespace zobran {

namespace db {
class Connection;
}

// Reads the statements of a KX file in file order: UTF-8, or Windows-1252 when the file is not
// valid UTF-8; lines end at CR or CR LF, a lone LF stays inside the line (a line feed in a value).
// Each statement comes with the line of the file where it begins; a statement the file never ends
// goes to unended. A file that cannot be opened or read raises FileError.
struct KxFileReadHandlers {
    std::function<void(const QString& statement, long line)> statement;
    std::function<void(const QString& text, long line)> unended;
};
void readKxFile(const QString& path, const KxFileReadHandlers& handlers);

// A statement of a KX file that the server refused, or one the file never ended.
struct KxStatementFailure {
    QString path;
    long line = 0; // the line of the file where the statement begins
    QString statement;
    AppError error;
};

struct KxImportCounts {
    long executed = 0; // statements the server took
    long failed = 0;   // statements it refused, and one left unended at the end of the file
};

struct KxImportHooks {
    // Called before each statement runs (the single-database window shows it).
    std::function<void(const QString& statement)> beforeStatement;
    // Called for each statement that failed; reading goes on with the next line.
    std::function<void(const KxStatementFailure& failure)> statementFailed;
    // Called after each statement with the counts so far, the line where it began and whether the
    // server took it.
    std::function<void(const KxImportCounts& counts, long line, bool executed)> afterStatement;
};

// Executes the statements of a KX file over the connection, one by one in file order. A statement
// the server refuses is handed to the hooks and skipped. A file that cannot be read raises
// FileError; a connection that is missing or closed raises as well, at its first statement.
KxImportCounts importKxFile(const QString& path, db::Connection& connection, const KxImportHooks& hooks = {});

} // namespace zobran
