#pragma once

#include "basics/AppError.h"

#include <QString>

#include <mutex>

namespace zobran {

struct BatchRunResult;
struct KxConnectionLoss;
struct KxStatementFailure;

// The failures of one import run. Each is written to the day's error log as it happens, under the
// window's name, and counted for the run's closing message. Runs over several databases at a time
// share one: every member is safe between threads.
class ImportFailureLog {
public:
    explicit ImportFailureLog(QString formName) : formName_(std::move(formName)) {}

    // A KX statement the server refused or was not sent, or stray text of a KX file (sub
    // "ImportKXFile", the number and the message, the file and the line).
    void statementFailed(const KxStatementFailure& failure);
    // A KX file whose connection was lost: one line for it all, where and after how many statements.
    void connectionLost(const KxConnectionLoss& loss);
    // A KX file that could not be read, or whose statements had no connection to go to.
    void kxFileFailed(const QString& path, const AppError& error);
    // A script file whose run through the tool failed.
    void osqlFileFailed(const QString& path, const BatchRunResult& result);
    // A database the multi-database run could not open.
    void databaseNotOpened(const QString& database, const AppError& error);

    long failedStatements() const;
    long notRunStatements() const;
    int failedFiles() const;
    bool anyLogged() const;
    // Why a line could not be written to the log (empty when every line was written).
    QString logTrouble() const;

    // Today's log file.
    static QString logFilePath();

private:
    void write(const QString& sub, long code, const QString& message);

    mutable std::mutex mutex_;
    QString formName_;
    long failedStatements_ = 0;
    long notRunStatements_ = 0;
    int failedFiles_ = 0;
    int logged_ = 0;
    QString logTrouble_;
};

// The lines a closing message adds for the failures: how many files and statements failed and that
// the details are in the daily error log (or why the log could not be written). Empty when nothing
// was logged.
QString failureSummary(const ImportFailureLog& log);

// Text for a one-line log entry: its line breaks become " | ".
QString oneLine(const QString& text);

} // namespace zobran
