#include "basics/TextFile.h"

#include "basics/FileError.h"
#include "basics/UnnamedFile.h"

#include <QFile>

#include <algorithm>
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

// Counts lines as a reader with these line ends does: the line a character stands on.
class LineCounter {
public:
    explicit LineCounter(LineEnds ends) : ends_(ends) {}

    void see(char32_t c)
    {
        if (c == U'\r') {
            if (ends_ != LineEnds::CrLfOrLf)
                ++line_;
        } else if (c == U'\n') {
            const bool endsHere = afterCr_ ? ends_ == LineEnds::CrLfOrLf : ends_ != LineEnds::CrOrCrLf;
            if (endsHere)
                ++line_;
        }
        afterCr_ = c == U'\r';
    }
    long line() const { return line_; }

private:
    LineEnds ends_;
    long line_ = 1;
    bool afterCr_ = false;
};

// A place in a file for an error: the line and the offset of the byte from the file's start.
struct FilePlace {
    long line = 0;
    std::uint64_t offset = 0;
};

FileError notUtf8Error(const QString& path, FilePlace place, unsigned char byte)
{
    return pathFileAccessError(path,
                               QStringLiteral("the text is UTF-8, but line %1 holds a byte that is not (0x%2 at "
                                              "byte offset %3); the file is refused whole")
                                   .arg(place.line)
                                   .arg(QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')))
                                   .arg(place.offset));
}

FileError brokenUtf16Error(const QString& path, FilePlace place)
{
    return pathFileAccessError(path,
                               QStringLiteral("the UTF-16 text breaks off inside a character on line %1 (at byte "
                                              "offset %2); the file is refused whole")
                                   .arg(place.line)
                                   .arg(place.offset));
}

// Looks at bytes that are to be UTF-8, piece by piece: whether all of them are, whether a valid
// multi-byte sequence stands anywhere, and where the first byte that is not UTF-8 stands.
class Utf8Survey {
public:
    // A UTF-8 byte-order mark before the bytes counts as a multi-byte sequence.
    Utf8Survey(LineEnds ends, std::uint64_t startOffset, bool afterMark)
        : lines_(ends), offset_(startOffset), multiByte_(afterMark)
    {
    }

    void feed(const unsigned char* p, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i, ++offset_) {
            const unsigned char c = p[i];
            if (need_ > 0) {
                if (c >= lower_ && c <= upper_) {
                    if (--need_ == 0)
                        multiByte_ = true;
                    continue;
                }
                // The sequence breaks off: its lead byte is the stray one; this byte starts afresh.
                markBad(sequenceStart_, sequenceLead_);
                need_ = 0;
            }
            if (c < 0x80) {
                lines_.see(c);
                continue;
            }
            need_ = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
            if (need_ == 0) {
                markBad(FilePlace{lines_.line(), offset_}, c);
                continue;
            }
            lower_ = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80; // no overlong forms
            upper_ = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF; // no surrogates, nothing beyond U+10FFFF
            sequenceStart_ = FilePlace{lines_.line(), offset_};
            sequenceLead_ = c;
        }
    }

    // At the end of the bytes: a sequence left unfinished is not UTF-8.
    void finish()
    {
        if (need_ > 0)
            markBad(sequenceStart_, sequenceLead_);
        need_ = 0;
    }

    bool allValid() const { return !bad_; }
    bool sawMultiByte() const { return multiByte_; }

    // The encoding of these bytes by the rules, or the error that refuses them.
    TextEncoding decide(const QString& path) const
    {
        if (allValid())
            return TextEncoding::Utf8;
        if (sawMultiByte())
            throw notUtf8Error(path, firstBad_, firstBadByte_);
        return TextEncoding::Windows1252;
    }

private:
    void markBad(FilePlace place, unsigned char byte)
    {
        if (bad_)
            return;
        bad_ = true;
        firstBad_ = place;
        firstBadByte_ = byte;
    }

    LineCounter lines_;
    std::uint64_t offset_;
    bool multiByte_;
    int need_ = 0;
    unsigned char lower_ = 0x80, upper_ = 0xBF;
    FilePlace sequenceStart_;
    unsigned char sequenceLead_ = 0;
    bool bad_ = false;
    FilePlace firstBad_;
    unsigned char firstBadByte_ = 0;
};

// Turns UTF-16 bytes into UTF-8, piece by piece; a character cut by the end of a piece is finished
// in the next. Half a surrogate pair, or an odd byte at the end, refuses the text.
class Utf16ToUtf8 {
public:
    Utf16ToUtf8(bool bigEndian, LineEnds ends, std::uint64_t startOffset, const QString& path)
        : bigEndian_(bigEndian), lines_(ends), offset_(startOffset), path_(path)
    {
    }

    void feed(const unsigned char* p, std::size_t n, std::string& out)
    {
        for (std::size_t i = 0; i < n; ++i) {
            if (!haveByte_) {
                firstByte_ = p[i];
                haveByte_ = true;
                continue;
            }
            haveByte_ = false;
            const char16_t unit = bigEndian_ ? char16_t(firstByte_ << 8 | p[i]) : char16_t(p[i] << 8 | firstByte_);
            takeUnit(unit, out);
            offset_ += 2;
        }
    }

    void finish()
    {
        if (high_ != 0)
            throw brokenUtf16Error(path_, highPlace_);
        if (haveByte_)
            throw brokenUtf16Error(path_, FilePlace{lines_.line(), offset_});
    }

private:
    void takeUnit(char16_t unit, std::string& out)
    {
        if (high_ != 0) {
            if (!QChar::isLowSurrogate(unit))
                throw brokenUtf16Error(path_, highPlace_);
            append(QChar::surrogateToUcs4(high_, unit), out);
            high_ = 0;
            return;
        }
        if (QChar::isHighSurrogate(unit)) {
            high_ = unit;
            highPlace_ = FilePlace{lines_.line(), offset_};
            return;
        }
        if (QChar::isLowSurrogate(unit))
            throw brokenUtf16Error(path_, FilePlace{lines_.line(), offset_});
        lines_.see(unit);
        append(unit, out);
    }

    static void append(char32_t c, std::string& out)
    {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | c >> 18));
            out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }

    bool bigEndian_;
    LineCounter lines_;
    std::uint64_t offset_;
    const QString& path_;
    bool haveByte_ = false;
    unsigned char firstByte_ = 0;
    char16_t high_ = 0;
    FilePlace highPlace_;
};

// The encoding a byte-order mark announces, and the mark's length; UTF-8 of length 0 without one.
std::pair<TextEncoding, std::size_t> byteOrderMark(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, 3};
    if (head.startsWith("\xFF\xFE"))
        return {TextEncoding::Utf16LittleEndian, 2};
    if (head.startsWith("\xFE\xFF"))
        return {TextEncoding::Utf16BigEndian, 2};
    return {TextEncoding::Utf8, 0};
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

QString decodeFileText(QByteArrayView bytes, const QString& path)
{
    const auto [marked, markLength] = byteOrderMark(bytes);
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.data()) + markLength;
    const std::size_t length = static_cast<std::size_t>(bytes.size()) - markLength;
    if (marked != TextEncoding::Utf8) {
        std::string utf8;
        Utf16ToUtf8 transcode(marked == TextEncoding::Utf16BigEndian, LineEnds::Any, markLength, path);
        transcode.feed(text, length, utf8);
        transcode.finish();
        return QString::fromStdString(utf8);
    }
    Utf8Survey survey(LineEnds::Any, markLength, markLength > 0);
    survey.feed(text, length);
    survey.finish();
    const QByteArrayView rest = bytes.sliced(static_cast<qsizetype>(markLength));
    return survey.decide(path) == TextEncoding::Utf8 ? QString::fromUtf8(rest) : fromWindows1252(rest);
}

// ---- the bytes of a text file ----

TextFileBytes::TextFileBytes(const QString& path, LineEnds ends) : path_(path)
{
    fd_ = openForReading(path);
    try {
        std::string chunk(ReadChunkBytes, '\0');
        std::size_t got = readSome(fd_, chunk.data(), chunk.size(), path_);
        const auto mark = byteOrderMark(QByteArrayView(chunk.data(), static_cast<qsizetype>(got)));
        encoding_ = mark.first;
        textStart_ = mark.second;
        auto* bytes = reinterpret_cast<const unsigned char*>(chunk.data());
        if (encoding_ == TextEncoding::Utf8) {
            Utf8Survey survey(ends, textStart_, textStart_ > 0);
            survey.feed(bytes + textStart_, got - textStart_);
            size_ = got - textStart_;
            while ((got = readSome(fd_, chunk.data(), chunk.size(), path_)) > 0) {
                survey.feed(bytes, got);
                size_ += got;
            }
            survey.finish();
            encoding_ = survey.decide(path_);
            seek(0);
        } else {
            // Read whole once, into a temporary file as UTF-8; afterwards only that is read.
            utf8Copy_ = std::make_unique<UnnamedFile>(QStringLiteral("the text of ") + path_);
            Utf16ToUtf8 transcode(encoding_ == TextEncoding::Utf16BigEndian, ends, textStart_, path_);
            std::string utf8;
            std::size_t from = textStart_;
            do {
                utf8.clear();
                transcode.feed(bytes + from, got - from, utf8);
                utf8Copy_->write(size_, utf8);
                size_ += utf8.size();
                from = 0;
            } while ((got = readSome(fd_, chunk.data(), chunk.size(), path_)) > 0);
            transcode.finish();
            ::close(fd_);
            fd_ = -1;
        }
    } catch (...) {
        if (fd_ >= 0)
            ::close(fd_);
        throw;
    }
}

TextFileBytes::~TextFileBytes()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t TextFileBytes::read(char* target, std::size_t n)
{
    if (utf8Copy_) {
        const auto got = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - std::min(position_, size_)));
        utf8Copy_->read(position_, target, got);
        position_ += got;
        return got;
    }
    const std::size_t got = readSome(fd_, target, n, path_);
    position_ += got;
    return got;
}

void TextFileBytes::seek(std::uint64_t offset)
{
    if (!utf8Copy_ && ::lseek(fd_, static_cast<off_t>(textStart_ + offset), SEEK_SET) < 0)
        throw pathFileAccessError(path_, systemReason(errno));
    position_ = offset;
}

QString TextFileBytes::decode(QByteArrayView bytes) const
{
    return isUtf8() ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

// ---- reading lines ----

TextFileReader::TextFileReader(const QString& path, LineEnds ends) : bytes_(path, ends), ends_(ends) {}

TextFileReader::~TextFileReader() = default;

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
    const std::size_t got = bytes_.read(buffer_.data() + kept, ReadChunkBytes);
    buffer_.resize(kept + static_cast<qsizetype>(got));
    if (got == 0)
        atEnd_ = true;
    return got > 0;
}

bool TextFileReader::readLine(QString& line)
{
    const bool crEnds = ends_ != LineEnds::CrLfOrLf;
    // The first byte from `from` on that may end a line; -1 when none has been read yet.
    const auto findEnd = [this](qsizetype from) -> qsizetype {
        if (ends_ != LineEnds::Any)
            return buffer_.indexOf(ends_ == LineEnds::CrOrCrLf ? '\r' : '\n', from);
        const auto* begin = buffer_.constData();
        const auto* found
            = std::find_if(begin + from, begin + buffer_.size(), [](char c) { return c == '\r' || c == '\n'; });
        return found == begin + buffer_.size() ? -1 : found - begin;
    };
    qsizetype searchFrom = position_;
    for (;;) {
        const qsizetype end = findEnd(searchFrom);
        if (end >= 0) {
            // A CR at the very end of what has been read may be the first half of CR LF.
            if (buffer_[end] == '\r' && end + 1 == buffer_.size() && !atEnd_) {
                const qsizetype offset = end - position_;
                fillBuffer();
                searchFrom = position_ + offset;
                continue;
            }
            qsizetype lineEnd = end;
            qsizetype next = end + 1;
            if (buffer_[end] == '\r' && crEnds && next < buffer_.size() && buffer_[next] == '\n')
                ++next;
            if (buffer_[end] == '\n' && !crEnds && lineEnd > position_ && buffer_[lineEnd - 1] == '\r')
                --lineEnd;
            line = bytes_.decode(QByteArrayView(buffer_).sliced(position_, lineEnd - position_));
            position_ = next;
            return true;
        }
        const qsizetype scanned = buffer_.size() - position_;
        if (!fillBuffer()) {
            if (position_ >= buffer_.size())
                return false;
            line = bytes_.decode(QByteArrayView(buffer_).sliced(position_));
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
