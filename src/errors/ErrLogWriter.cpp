#include "errors/ErrLogWriter.h"

#include "basics/AppPath.h"
#include "basics/FileError.h"
#include "basics/Folders.h"
#include "basics/TextFile.h"

#include <QDir>

#include <cerrno>

namespace zobran {

void appendErrLog(const ErrLogEntry& entry, const QDateTime& when)
{
    if (filesFolder().isEmpty())
        throw pathNotFoundError(QString(), QStringLiteral("the program folder is not known"));
    makeFolderIfMissing(filesFolder());
    const QString logFolder = appSubPath(QStringLiteral("LOG"));
    makeFolderIfMissing(logFolder);
    appendTextLines(QDir(logFolder).filePath(errLogFileName(when.date())), {errLogLine(when, entry)});
}

} // namespace zobran
