#pragma once

#include <QString>

namespace zobran {

// The one-line batch file that runs a script through the tool: TmExe.bat in the program folder, a
// /bin/sh script. It holds the password, so only its owner may read it.
QString batchFilePath();

// Deletes the batch file when it is there.
void deleteBatchFile();

// Replaces the batch file with the command line as its only line, ended by LF, readable and
// writable by its owner only. Failures raise FileError.
void writeBatchFile(const QString& commandLine, const QString& path = batchFilePath());

} // namespace zobran
