#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace zobran {

// One report as the error window shows it.
struct ErrLogEntry {
    QString form;
    QString sub;
    QString code;
    QString message;
};

// The daily log file's name: "Err_" + ddMMyyyy + ".Log" (7 December 2026 gives "Err_07122026.Log").
QString errLogFileName(const QDate& day);

// One log line without its line end:
// "[ZOBRAN] 07/12/26 14:05:09 Form[MDELETE] Sub[LoadLTable] Code[3704] Msg[...]". Line breaks
// inside the texts (a driver's message may hold several lines) become blanks: one report, one line.
QString errLogLine(const QDateTime& when, const ErrLogEntry& entry);

} // namespace zobran
