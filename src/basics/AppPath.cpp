#include "basics/AppPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace zobran {

QString& AppPath()
{
    static QString path;
    return path;
}

QString& AppDataPath()
{
    static QString path;
    return path;
}

QString filesFolder()
{
    return AppDataPath().isEmpty() ? AppPath() : AppDataPath();
}

QString appSubPath(const QString& subPath)
{
    const QString base = filesFolder();
    if (base.endsWith(QLatin1Char('/')) || base.endsWith(QDir::separator()))
        return base + subPath;
    return base + QDir::separator() + subPath;
}

bool isInstalledProgramFolder(const QString& programFolder, const QString& installFolder)
{
    const QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (!folder.isEmpty() && folder == QFileInfo(installFolder).canonicalFilePath())
        return true;
    // access() asks for the real user's rights, which is what creating files there needs.
    return ::access(QFile::encodeName(programFolder).constData(), W_OK | X_OK) != 0;
}

void takeProgramFolder(const QString& installFolder)
{
    AppPath() = QCoreApplication::applicationDirPath();
    if (!isInstalledProgramFolder(AppPath(), installFolder))
        return;
    AppDataPath() = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    // A folder that cannot be made shows as the first file the program fails to write there.
    QDir().mkpath(AppDataPath());
}

} // namespace zobran
