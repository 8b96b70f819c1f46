#include "osql/ScriptFile.h"

#include "basics/FileError.h"
#include "basics/TextFile.h"

#include <QFile>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zobran::osql {

namespace {

constexpr std::size_t CheckChunkBytes = std::size_t{1} << 20;

} // namespace

ScriptFile::ScriptFile(const QString& path) : path_(path)
{
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw fileErrorFromSystem(path, errno);
    try {
        struct stat info {};
        if (::fstat(fd_, &info) != 0)
            throw pathFileAccessError(path, systemReason(errno));
        if (S_ISDIR(info.st_mode))
            throw pathFileAccessError(path, systemReason(EISDIR));
        utf8_ = checkUtf8();
        if (utf8_) {
            seek(0);
            char head[3] = {};
            std::size_t got = 0;
            while (got < sizeof head) {
                const std::size_t n = read(head + got, sizeof head - got);
                if (n == 0)
                    break;
                got += n;
            }
            if (got == 3 && QByteArrayView(head, 3) == QByteArrayView("\xEF\xBB\xBF"))
                textOffset_ = 3;
        }
        seek(textOffset_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

ScriptFile::~ScriptFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool ScriptFile::checkUtf8()
{
    Utf8Validator check;
    std::vector<char> chunk(CheckChunkBytes);
    for (;;) {
        const std::size_t got = read(chunk.data(), chunk.size());
        if (got == 0)
            return check.complete();
        if (!check.feed(reinterpret_cast<const unsigned char*>(chunk.data()), got))
            return false;
    }
}

std::size_t ScriptFile::read(char* target, std::size_t n)
{
    for (;;) {
        const ssize_t got = ::read(fd_, target, n);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw pathFileAccessError(path_, systemReason(errno));
    }
}

void ScriptFile::seek(std::int64_t offset)
{
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        throw pathFileAccessError(path_, systemReason(errno));
}

QString ScriptFile::decode(QByteArrayView bytes) const
{
    return utf8_ ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

} // namespace zobran::osql
