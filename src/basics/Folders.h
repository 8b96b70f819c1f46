#pragma once

#include <QString>

namespace zobran {

// Creates the folder, with any missing folders above it, unless it is there already. Raises
// FileError 75 when it cannot be made (a file stands in its place, no permission).
void makeFolderIfMissing(const QString& folder);

// The Export folder under the folder of the program's files (see filesFolder()), created (one
// level) when missing. Raises FileError 76 when the program folder is not there or Export is a
// file, 75 when it cannot be made. The user's data folder of an installed program is made when
// missing.
QString ensureExportFolder();

} // namespace zobran
