#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <memory>
#include <string_view>

namespace zobran {

// The program's text files: written in UTF-8 without byte-order mark, every line ended by CR LF;
// read as UTF-8, or as Windows-1252 when a file is not valid UTF-8 (files written on Windows).
// Failures raise FileError (53, 75 or 76) with the path and the system's reason.

// Where a line ends when a file is read.
enum class LineEnds {
    CrOrCrLf, // at CR or CR LF; a lone LF belongs to the line (a line feed inside a KX value)
    CrLfOrLf, // at CR LF or LF; a lone CR belongs to the line
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
// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark dropped), else Windows-1252.
QString decodeFileText(QByteArrayView bytes);

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
    bool isUtf8() const { return utf8_; }
    // Bytes read so far and the file's size, for progress.
    std::size_t bytesRead() const;
    std::size_t fileSize() const { return size_; }

private:
    bool fillBuffer();

    QString path_;
    LineEnds ends_;
    int fd_ = -1;
    bool utf8_ = true;
    std::size_t size_ = 0;
    std::size_t consumed_ = 0; // bytes of the file before buffer_
    QByteArray buffer_;
    qsizetype position_ = 0;
    bool atEnd_ = false;
    bool pendingCrLf_ = false; // a CR ended the last buffer: a LF opening the next one is its end
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
