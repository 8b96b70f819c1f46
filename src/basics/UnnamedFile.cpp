#include "basics/UnnamedFile.h"

#include "basics/FileError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zobran {

namespace {

// The process's file mode mask, read without changing it.
mode_t fileModeMask()
{
    FILE* status = std::fopen("/proc/self/status", "re");
    if (status) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    return 022;
}

} // namespace

UnnamedFile::UnnamedFile(QString contents) : UnnamedFile(std::move(contents), QDir::tempPath()) {}

UnnamedFile::UnnamedFile(QString contents, QString folder) : folder_(std::move(folder)), contents_(std::move(contents))
{
}

UnnamedFile::~UnnamedFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void UnnamedFile::fail(const char* what, int systemError) const
{
    throw pathFileAccessError(folder_,
                              QStringLiteral("%1 cannot be %2 in a temporary file there: %3")
                                  .arg(contents_, QLatin1String(what), systemReason(systemError)));
}

void UnnamedFile::ensureOpen()
{
    if (fd_ >= 0)
        return;
    const QByteArray folder = QFile::encodeName(folder_);
    fd_ = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    unnamed_ = fd_ >= 0;
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        QByteArray pattern = folder + "/zobran-XXXXXX";
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ >= 0)
            ::unlink(pattern.constData());
    }
    if (fd_ < 0)
        fail("stored", errno);
}

void UnnamedFile::write(std::uint64_t offset, std::string_view bytes)
{
    ensureOpen();
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::pwrite(fd_, p, left, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail("stored", errno);
        }
        p += written;
        left -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
}

void UnnamedFile::read(std::uint64_t offset, char* target, std::size_t length) const
{
    while (length > 0) {
        const ssize_t got = fd_ < 0 ? 0 : ::pread(fd_, target, length, static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail("read back", errno);
        }
        if (got == 0)
            fail("read back", EIO); // shorter than what was stored
        target += got;
        length -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
}

bool UnnamedFile::truncate(std::uint64_t size) noexcept
{
    return fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool UnnamedFile::nameAs(const QString& path, std::uint64_t size, unsigned permissions)
{
    if (fd_ < 0 || !unnamed_ || !truncate(size))
        return false;
    if (::fchmod(fd_, static_cast<mode_t>(permissions) & ~fileModeMask()) != 0)
        return false;
    // An unnamed file gets its name through its descriptor; an existing name is never replaced.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_FOLLOW) != 0) {
        ::fchmod(fd_, 0600);
        return false;
    }
    ::close(fd_);
    fd_ = -1;
    return true;
}

} // namespace zobran
