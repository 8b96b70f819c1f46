#pragma once

#include <QString>

namespace zobran {

// The program's own title, used where a message carries no title of its own.
inline const QString ProgramTitle = QStringLiteral("ZOBRAN");

// The folder of the running program, without a trailing separator (unless it is the root).
// Taken once at start-up.
QString& AppPath();

// AppPath joined with a sub-path ("Export", "LOG", "TmExe.bat"), never doubling a separator that
// is already there.
QString appSubPath(const QString& subPath);

} // namespace zobran
