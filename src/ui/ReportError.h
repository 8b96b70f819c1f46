#pragma once

#include "basics/AppError.h"

#include <QString>

#include <exception>
#include <utility>

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

} // namespace zobran
