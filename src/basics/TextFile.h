#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zobran {

// The program's text files: written in UTF-8 without byte-order mark, every line ended by CR LF.
// Failures raise FileError (53, 75 or 76) with the path and the system's reason.
//
// How a file is read is decided once, from the whole file:
// - a UTF-16 byte-order mark (FF FE little-endian, FE FF big-endian): UTF-16, handed on as UTF-8;
// - a UTF-8 byte-order mark (EF BB BF): UTF-8, the mark no part of the text;
// - otherwise UTF-8 when every byte is valid UTF-8, and Windows-1252 when no valid multi-byte UTF-8
//   sequence stands anywhere in it (files written on Windows).
// A file that holds valid multi-byte UTF-8 and also bytes that are not UTF-8 (UTF-8 text with a
// stray byte), or UTF-16 text cut inside a character, is refused whole: FileError 75 naming the
// line and the byte offset of the first such byte, so that nothing of it is used.

// Where a line ends when a file is read.
enum class LineEnds {
    CrOrCrLf, // at CR or CR LF; a lone LF belongs to the line (a line feed inside a KX value)
    CrLfOrLf, // at CR LF or LF; a lone CR belongs to the line
    Any,      // at CR LF, LF or CR (the script runner's lines)
};

// Checks UTF-8 piece by piece: a sequence cut by the end of one piece is finished in the next.
class Utf8Validator {
public:
    // False as soon as the bytes cannot be UTF-8.
    bool feed(const unsigned char* bytes, std::size_t n);
    // True when no sequence is left unfinished.
    bool complete() const { return need_ == 0; }

private:
    int need_ = 0;
    unsigned char lower_ = 0x80, upper_ = 0xBF;
};

bool isValidUtf8(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);

enum class TextEncoding { Utf8, Windows1252, Utf16LittleEndian, Utf16BigEndian };

// The text of a whole file's bytes by the rules above; path names the file in the error.
QString decodeFileText(QByteArrayView bytes, const QString& path = {});

class UnnamedFile;

// The bytes of a text file's text, read in pieces: UTF-8, or Windows-1252 (see isUtf8()). A UTF-16
// file is turned into UTF-8 once, into a temporary file; a byte-order mark is no part of the text.
// Offsets count from the first byte of the text.
class TextFileBytes {
public:
    // ends tells how lines are counted for the error that refuses a file.
    TextFileBytes(const QString& path, LineEnds ends);
    ~TextFileBytes();
    TextFileBytes(const TextFileBytes&) = delete;
    TextFileBytes& operator=(const TextFileBytes&) = delete;

    // Up to n bytes from the current offset on; 0 only at the end.
    std::size_t read(char* target, std::size_t n);
    void seek(std::uint64_t offset);

    TextEncoding encoding() const { return encoding_; }
    // UTF-8 bytes (a UTF-16 file's too), else Windows-1252.
    bool isUtf8() const { return encoding_ != TextEncoding::Windows1252; }
    // The bytes of the text.
    std::uint64_t size() const { return size_; }
    const QString& path() const { return path_; }
    // Text of some of the bytes.
    QString decode(QByteArrayView bytes) const;

private:
    QString path_;
    int fd_ = -1;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::uint64_t textStart_ = 0; // the length of the byte-order mark
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::unique_ptr<UnnamedFile> utf8Copy_; // a UTF-16 file's text
};

// Reads a text file line by line without holding it whole; each line comes without its line end.
// An empty last line (the file ends with a line end) is not a line.
class TextFileReader {
public:
    TextFileReader(const QString& path, LineEnds ends);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // The next line; false at the end of the file.
    bool readLine(QString& line);
    bool isUtf8() const { return bytes_.isUtf8(); }
    TextEncoding encoding() const { return bytes_.encoding(); }
    // Bytes of the text read so far and all of them, for progress.
    std::size_t bytesRead() const;
    std::size_t fileSize() const { return static_cast<std::size_t>(bytes_.size()); }

private:
    bool fillBuffer();

    TextFileBytes bytes_;
    LineEnds ends_;
    std::size_t consumed_ = 0; // bytes of the text before buffer_
    QByteArray buffer_;
    qsizetype position_ = 0;
    bool atEnd_ = false;
};

// Every line of a small text file.
QStringList readTextFileLines(const QString& path, LineEnds ends);

// Appends to a file, creating it when missing, and undoes everything on failure: until commit()
// has succeeded, a failed write or a destructor truncates the file back to the size it had when it
// was opened (a file the append created is removed), so a file never ends with part of what was
// being written. Writes are buffered.
class FileAppend {
public:
    // permissions apply to a file the append creates (0644 gives rw-r--r--).
    explicit FileAppend(const QString& path, unsigned permissions = 0644);
    ~FileAppend();
    FileAppend(const FileAppend&) = delete;
    FileAppend& operator=(const FileAppend&) = delete;

    void write(std::string_view bytes);
    // A line in UTF-8 followed by CR LF.
    void writeLine(const QString& line);
    // Writes what is buffered and closes the file; afterwards nothing is undone.
    void commit();

    const QString& path() const { return path_; }
    bool createdFile() const { return created_; }

private:
    void flushBuffer();
    [[noreturn]] void failWith(int systemError);
    void rollBack() noexcept;

    QString path_;
    int fd_ = -1;
    bool created_ = false;
    long long originalSize_ = 0;
    std::string buffer_;
};

// Appends the lines, each in UTF-8 followed by CR LF, as one all-or-nothing write.
void appendTextLines(const QString& path, const QStringList& lines, unsigned permissions = 0644);

// Deletes the file when it exists; a file that cannot be deleted raises 75.
void deleteFileIfExists(const QString& path);

} // namespace zobran
