#include "basics/Folders.h"

#include "basics/AppPath.h"
#include "basics/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace zobran {

namespace {

// mkdir of one level; true when the folder is there afterwards, else errno tells why.
bool makeOneFolder(const QString& folder)
{
    if (::mkdir(QFile::encodeName(folder).constData(), 0755) == 0)
        return true;
    return errno == EEXIST && QFileInfo(folder).isDir();
}

} // namespace

void makeFolderIfMissing(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return;
    if (info.exists())
        throw pathFileAccessError(folder, systemReason(EEXIST) + QStringLiteral(" (a file, not a folder)"));
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath())
        makeFolderIfMissing(parent);
    if (!makeOneFolder(folder))
        throw pathFileAccessError(folder, systemReason(errno == EEXIST ? ENOTDIR : errno));
}

QString ensureExportFolder()
{
    const QString folder = appSubPath(QStringLiteral("Export"));
    const QFileInfo info(folder);
    if (info.isDir())
        return folder;
    if (info.exists())
        throw pathNotFoundError(folder, QStringLiteral("a file stands where the folder should be"));
    // The user's data folder is made when missing; a missing program folder is an error.
    if (!AppDataPath().isEmpty())
        makeFolderIfMissing(AppDataPath());
    else if (!QFileInfo(AppPath()).isDir())
        throw pathNotFoundError(AppPath(), systemReason(ENOENT));
    if (!makeOneFolder(folder))
        throw pathFileAccessError(folder, systemReason(errno));
    return folder;
}

} // namespace zobran
