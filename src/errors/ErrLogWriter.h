#pragma once

#include "errors/ErrLogFormat.h"

namespace zobran {

// Appends the entry as one line, ended by CR LF and written in UTF-8, to the day's log file
// AppPath/LOG/Err_ddMMyyyy.Log; the program folder and LOG are created when missing and existing
// lines are kept. Throws AppError 75 when a folder or the file cannot be made, opened or written,
// 76 when there is no program folder to write under.
void appendErrLog(const ErrLogEntry& entry, const QDateTime& when);

} // namespace zobran
