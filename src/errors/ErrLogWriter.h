#pragma once

#include "errors/ErrLogFormat.h"

namespace zobran {

// Appends the entry as one line, ended by CR LF and written in UTF-8, to the day's log file
// LOG/Err_ddMMyyyy.Log under the folder of the program's files (the program folder, or the user's data
// folder of an installed program); that folder and LOG are created when missing and existing
// lines are kept. Throws AppError 75 when a folder or the file cannot be made, opened or written,
// 76 when there is no program folder to write under.
void appendErrLog(const ErrLogEntry& entry, const QDateTime& when);

} // namespace zobran
