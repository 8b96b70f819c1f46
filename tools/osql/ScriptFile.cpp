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

// The length a UTF-8 sequence announces by its first byte; 1 for anything else.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

// How many bytes at the end of a chunk begin a UTF-8 sequence the chunk does not finish.
std::size_t unfinishedTail(const char* bytes, std::size_t n)
{
    for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if (c >= 0x80 && c <= 0xBF)
            continue; // a continuation byte: look further back for its first byte
        return sequenceLength(c) > back ? back : 0;
    }
    return 0;
}

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
    // Chunk by chunk; a sequence cut by the end of a chunk is checked with the next one.
    std::vector<char> chunk(CheckChunkBytes + 4);
    std::size_t carried = 0;
    for (;;) {
        const std::size_t got = read(chunk.data() + carried, CheckChunkBytes);
        if (got == 0)
            return carried == 0;
        const std::size_t n = carried + got;
        const std::size_t tail = unfinishedTail(chunk.data(), n);
        if (!isValidUtf8(QByteArrayView(chunk.data(), static_cast<qsizetype>(n - tail))))
            return false;
        std::copy(chunk.data() + (n - tail), chunk.data() + n, chunk.data());
        carried = tail;
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
