#include "basics/TextFile.h"

#include "basics/FileError.h"

#include <QFile>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zobran {

namespace {

constexpr std::size_t ReadChunkBytes = std::size_t{1} << 20;
constexpr std::size_t WriteBufferBytes = std::size_t{1} << 20;

// The characters of Windows-1252 at 0x80 to 0x9F; the five unassigned bytes stay the C1 controls
// of the same number, as Windows itself reads them.
constexpr std::array<char16_t, 32> Cp1252High{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                              0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeLine(QByteArrayView bytes, bool utf8)
{
    return utf8 ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

int openForReading(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw fileErrorFromSystem(path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw pathFileAccessError(path, systemReason(error));
    }
    return fd;
}

// Reads up to n bytes, carrying on after interruptions; 0 at the end of the file.
std::size_t readSome(int fd, char* target, std::size_t n, const QString& path)
{
    for (;;) {
        const ssize_t got = ::read(fd, target, n);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw pathFileAccessError(path, systemReason(errno));
    }
}

bool fileIsUtf8(int fd, const QString& path)
{
    Utf8Validator check;
    std::string chunk(ReadChunkBytes, '\0');
    bool valid = true;
    for (;;) {
        const std::size_t got = readSome(fd, chunk.data(), chunk.size(), path);
        if (got == 0)
            break;
        if (!check.feed(reinterpret_cast<const unsigned char*>(chunk.data()), got)) {
            valid = false;
            break;
        }
    }
    if (::lseek(fd, 0, SEEK_SET) != 0)
        throw pathFileAccessError(path, systemReason(errno));
    return valid && check.complete();
}

} // namespace

bool Utf8Validator::feed(const unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (need_ == 0) {
            if (c < 0x80)
                continue;
            if (c >= 0xC2 && c <= 0xDF) {
                need_ = 1;
                lower_ = 0x80, upper_ = 0xBF;
            } else if (c >= 0xE0 && c <= 0xEF) {
                need_ = 2;
                lower_ = c == 0xE0 ? 0xA0 : 0x80; // no overlong forms
                upper_ = c == 0xED ? 0x9F : 0xBF; // no surrogates
            } else if (c >= 0xF0 && c <= 0xF4) {
                need_ = 3;
                lower_ = c == 0xF0 ? 0x90 : 0x80;
                upper_ = c == 0xF4 ? 0x8F : 0xBF; // nothing beyond U+10FFFF
            } else {
                return false;
            }
            continue;
        }
        if (c < lower_ || c > upper_)
            return false;
        lower_ = 0x80, upper_ = 0xBF;
        --need_;
    }
    return true;
}

bool isValidUtf8(QByteArrayView bytes)
{
    Utf8Validator check;
    return check.feed(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<std::size_t>(bytes.size()))
        && check.complete();
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c <= 0x9F) ? Cp1252High[c - 0x80] : char16_t(c);
    }
    return text;
}

QString decodeFileText(QByteArrayView bytes)
{
    if (!isValidUtf8(bytes))
        return fromWindows1252(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return QString::fromUtf8(bytes);
}

// ---- reading ----

TextFileReader::TextFileReader(const QString& path, LineEnds ends) : path_(path), ends_(ends)
{
    fd_ = openForReading(path);
    struct stat info {};
    if (::fstat(fd_, &info) == 0)
        size_ = static_cast<std::size_t>(info.st_size);
    try {
        utf8_ = fileIsUtf8(fd_, path_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
    if (utf8_) {
        // A byte-order mark is not part of the first line.
        fillBuffer();
        if (buffer_.startsWith("\xEF\xBB\xBF"))
            position_ = 3;
    }
}

TextFileReader::~TextFileReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t TextFileReader::bytesRead() const
{
    return consumed_ + static_cast<std::size_t>(position_);
}

bool TextFileReader::fillBuffer()
{
    if (atEnd_)
        return false;
    // Drop what has been handed out, keep the rest, add a chunk.
    buffer_.remove(0, position_);
    consumed_ += static_cast<std::size_t>(position_);
    position_ = 0;
    const qsizetype kept = buffer_.size();
    buffer_.resize(kept + static_cast<qsizetype>(ReadChunkBytes));
    const std::size_t got = readSome(fd_, buffer_.data() + kept, ReadChunkBytes, path_);
    buffer_.resize(kept + static_cast<qsizetype>(got));
    if (got == 0)
        atEnd_ = true;
    return got > 0;
}

bool TextFileReader::readLine(QString& line)
{
    const char terminator = ends_ == LineEnds::CrOrCrLf ? '\r' : '\n';
    qsizetype searchFrom = position_;
    for (;;) {
        const qsizetype end = buffer_.indexOf(terminator, searchFrom);
        if (end >= 0) {
            // A CR at the very end of what has been read may be the first half of CR LF.
            if (terminator == '\r' && end + 1 == buffer_.size() && !atEnd_) {
                const qsizetype offset = end - position_;
                fillBuffer();
                searchFrom = position_ + offset;
                continue;
            }
            qsizetype lineEnd = end;
            qsizetype next = end + 1;
            if (terminator == '\r' && next < buffer_.size() && buffer_[next] == '\n')
                ++next;
            if (terminator == '\n' && lineEnd > position_ && buffer_[lineEnd - 1] == '\r')
                --lineEnd;
            line = decodeLine(QByteArrayView(buffer_).sliced(position_, lineEnd - position_), utf8_);
            position_ = next;
            return true;
        }
        const qsizetype scanned = buffer_.size() - position_;
        if (!fillBuffer()) {
            if (position_ >= buffer_.size())
                return false;
            line = decodeLine(QByteArrayView(buffer_).sliced(position_), utf8_);
            position_ = buffer_.size();
            return true;
        }
        searchFrom = position_ + scanned;
    }
}

QStringList readTextFileLines(const QString& path, LineEnds ends)
{
    TextFileReader reader(path, ends);
    QStringList lines;
    QString line;
    while (reader.readLine(line))
        lines.append(line);
    return lines;
}

// ---- writing ----

FileAppend::FileAppend(const QString& path, unsigned permissions) : path_(path)
{
    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
    if (fd_ >= 0) {
        created_ = true;
    } else if (errno == EEXIST) {
        fd_ = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (fd_ < 0) {
        const int error = errno;
        // A missing folder on the way is a path that is not there.
        if (error == ENOENT || error == ENOTDIR)
            throw pathNotFoundError(path, systemReason(error));
        throw pathFileAccessError(path, systemReason(error));
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        failWith(errno);
    originalSize_ = static_cast<long long>(info.st_size);
    buffer_.reserve(WriteBufferBytes);
}

FileAppend::~FileAppend()
{
    if (fd_ >= 0)
        rollBack();
}

void FileAppend::write(std::string_view bytes)
{
    if (fd_ < 0)
        throw pathFileAccessError(path_, QStringLiteral("the file is closed"));
    if (buffer_.size() + bytes.size() > WriteBufferBytes)
        flushBuffer();
    if (bytes.size() >= WriteBufferBytes) {
        buffer_.assign(bytes);
        flushBuffer();
        return;
    }
    buffer_.append(bytes);
}

void FileAppend::writeLine(const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    write(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    write("\r\n");
}

void FileAppend::flushBuffer()
{
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, p, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            failWith(errno);
        }
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    buffer_.clear();
}

void FileAppend::commit()
{
    if (fd_ < 0)
        throw pathFileAccessError(path_, QStringLiteral("the file is closed"));
    flushBuffer();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        // The data may not have reached the disk: take it back out again.
        const int error = errno;
        fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CLOEXEC);
        if (fd_ >= 0)
            rollBack();
        throw pathFileAccessError(path_, systemReason(error));
    }
}

void FileAppend::failWith(int systemError)
{
    rollBack();
    throw pathFileAccessError(path_, systemReason(systemError));
}

void FileAppend::rollBack() noexcept
{
    buffer_.clear();
    if (fd_ < 0)
        return;
    if (created_)
        ::unlink(QFile::encodeName(path_).constData());
    else if (::ftruncate(fd_, static_cast<off_t>(originalSize_)) != 0) {
        // Nothing more can be done here; the caller's error tells what went wrong first.
    }
    ::close(fd_);
    fd_ = -1;
}

void appendTextLines(const QString& path, const QStringList& lines, unsigned permissions)
{
    FileAppend file(path, permissions);
    for (const QString& line : lines)
        file.writeLine(line);
    file.commit();
}

void deleteFileIfExists(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw pathFileAccessError(path, systemReason(errno));
}

} // namespace zobran
