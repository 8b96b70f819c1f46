#pragma once

#include <QString>

namespace zobran {

// The program's own title, used where a message carries no title of its own.
inline const QString ProgramTitle = QStringLiteral("ZOBRAN");

// The folder of the running program, without a trailing separator (unless it is the root).
// Taken once at start-up.
QString& AppPath();

// The folder that takes the program's files (the Export folder, the daily error logs in LOG and
// TmExe.bat) when the program folder cannot: set at start-up for an installed program; empty when
// they live in the program folder.
QString& AppDataPath();

// Where the program's files live: AppDataPath() when it is set, otherwise AppPath().
QString filesFolder();

// filesFolder() joined with a sub-path ("Export", "LOG", "TmExe.bat"), never doubling a separator
// that is already there.
QString appSubPath(const QString& subPath);

// True when the program's files belong in the user's data folder instead of the program folder:
// the program runs from the folder it is installed into (installFolder), or the user cannot write
// into its folder.
bool isInstalledProgramFolder(const QString& programFolder, const QString& installFolder);

// At start-up: AppPath becomes the running program's folder; an installed program (see above)
// keeps its files in the user's data folder, made when missing.
void takeProgramFolder(const QString& installFolder);

} // namespace zobran
