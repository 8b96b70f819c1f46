#include "errors/ErrLogWriter.h"

#include "basics/AppPath.h"
#include "basics/AppError.h"

#include <QDir>
#include <QFile>

namespace zobran {

namespace {

AppError accessError(const QString& path, const QString& reason = {})
{
    QString description = QStringLiteral("Path/File access error: ") + QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        description += QStringLiteral(" (") + reason + QLatin1Char(')');
    return AppError(errnum::PathFileAccess, description);
}

void makeFolderIfMissing(const QString& folder)
{
    if (QDir(folder).exists())
        return;
    if (!QDir().mkpath(folder))
        throw accessError(folder, QStringLiteral("the folder cannot be created"));
}

} // namespace

void appendErrLog(const ErrLogEntry& entry, const QDateTime& when)
{
    if (AppPath().isEmpty())
        throw AppError(errnum::PathNotFound, QStringLiteral("Path not found: the program folder is not known"));
    makeFolderIfMissing(AppPath());
    const QString logFolder = appSubPath(QStringLiteral("LOG"));
    makeFolderIfMissing(logFolder);

    QFile file(QDir(logFolder).filePath(errLogFileName(when.date())));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw accessError(file.fileName(), file.errorString());
    const QByteArray line = errLogLine(when, entry).toUtf8() + QByteArrayLiteral("\r\n");
    if (file.write(line) != line.size() || !file.flush())
        throw accessError(file.fileName(), file.errorString());
    file.close();
}

} // namespace zobran
