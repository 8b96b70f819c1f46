#include "basics/FileError.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace zobran {

namespace {

QString headline(long number)
{
    switch (number) {
    case errnum::FileNotFound:
        return QStringLiteral("File not found");
    case errnum::PathNotFound:
        return QStringLiteral("Path not found");
    default:
        return QStringLiteral("Path/File access error");
    }
}

QString describe(long number, const QString& path, const QString& reason)
{
    QString text = headline(number) + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text;
}

} // namespace

FileError::FileError(long number, QString path, QString reason)
    : AppError(number, describe(number, path, reason)), path_(std::move(path)), reason_(std::move(reason))
{
}

FileError fileNotFoundError(const QString& path, const QString& reason)
{
    return FileError(errnum::FileNotFound, path, reason);
}

FileError pathFileAccessError(const QString& path, const QString& reason)
{
    return FileError(errnum::PathFileAccess, path, reason);
}

FileError pathNotFoundError(const QString& path, const QString& reason)
{
    return FileError(errnum::PathNotFound, path, reason);
}

FileError fileErrorFromSystem(const QString& path, int systemError)
{
    const QString reason = systemReason(systemError);
    switch (systemError) {
    case ENOENT:
        return fileNotFoundError(path, reason);
    case ENOTDIR:
        return pathNotFoundError(path, reason);
    default:
        return pathFileAccessError(path, reason);
    }
}

QString systemReason(int systemError)
{
    if (systemError == 0)
        return QStringLiteral("the system gave no reason");
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not be the buffer.
    const char* text = strerror_r(systemError, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

} // namespace zobran
