#pragma once

#include "basics/AppError.h"

#include <QString>

namespace zobran {

// A file or folder that could not be found, made, opened, read or written: error 53 (file not
// found), 75 (path/file access error) or 76 (path not found), with the path and the system's own
// reason, as "Path/File access error: /opt/zobran/Export/a.SQL: No space left on device".
class FileError : public AppError {
public:
    FileError(long number, QString path, QString reason);

    const QString& path() const noexcept { return path_; }
    const QString& reason() const noexcept { return reason_; }

private:
    QString path_;
    QString reason_;
};

FileError fileNotFoundError(const QString& path, const QString& reason);
FileError pathFileAccessError(const QString& path, const QString& reason);
FileError pathNotFoundError(const QString& path, const QString& reason);

// The error for a system call on path that failed with errno value systemError: a missing file
// (ENOENT) is 53, a missing or wrong folder on the way (ENOTDIR) 76, anything else 75.
FileError fileErrorFromSystem(const QString& path, int systemError);

// The system's own text for an errno value ("No space left on device").
QString systemReason(int systemError);

} // namespace zobran
