#pragma once

#include "basics/AppError.h"
#include "basics/RunStopped.h"

#include <QString>

#include <exception>
#include <utility>
#include <vector>

namespace zobran {

enum class ReportMode {
    ShowWindow,
    // Unload handlers that close the shared connection: 91 (never connected) and 3704 (already
    // closed) fill the report but show no window.
    QuietWhenNoConnection,
};

// Fills ErrReport (form, number, description, operation, in that order), loads the error window,
// writes the daily log line, shows the window modally and empties the report when it unloads.
void ReportError(const QString& formName, const QString& subName, const AppError& error,
                 ReportMode mode = ReportMode::ShowWindow);

// Reports the failure a window's run ended with, if it ended with one, under the operation's name;
// true when it did.
bool reportRunFailure(const QString& formName, const QString& subName, const std::exception_ptr& failure);

// The name of a click handler of a control array: "CBut& " + 4 + "_Click" gives "CBut& 4_Click".
QString arrayClickName(const QString& arrayPrefix, int index);

// Runs one guarded operation: a failure inside it is reported under the operation's name and the
// operation is left there; the caller carries on. Returns false when a failure was reported.
template <class Operation>
bool runGuarded(const QString& formName, const QString& subName, Operation&& operation,
                ReportMode mode = ReportMode::ShowWindow)
{
    try {
        std::forward<Operation>(operation)();
        return true;
    } catch (const std::exception& e) {
        ReportError(formName, subName, toAppError(e), mode);
    }
    return false;
}

// The failures that guarded steps meet on a run's thread, reported on the window's thread once the
// run has ended, in the order they happened. A stop is no failure of a step: it goes through.
class DeferredReports {
public:
    template <class Operation>
    bool runGuarded(const QString& formName, const QString& subName, Operation&& operation,
                    ReportMode mode = ReportMode::ShowWindow)
    {
        try {
            std::forward<Operation>(operation)();
            return true;
        } catch (const RunStopped&) {
            throw;
        } catch (const std::exception& e) {
            add(formName, subName, toAppError(e), mode);
        }
        return false;
    }
    void add(const QString& formName, const QString& subName, const AppError& error,
             ReportMode mode = ReportMode::ShowWindow);
    bool isEmpty() const { return failures_.empty(); }
    // Reports every failure, then forgets them.
    void reportAll();

private:
    struct Failure {
        QString formName;
        QString subName;
        AppError error;
        ReportMode mode;
    };
    std::vector<Failure> failures_;
};

} // namespace zobran
