#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

namespace zobran {

// A temporary file without a name, for data too large to keep in memory. It is made on first use
// in the temporary folder of the moment the object was made, and it goes with the object. Where
// the file system has no unnamed files, a named one is made and removed at once.
//
// Failures raise FileError 75 naming the temporary folder and saying that `contents` ("the
// pending script lines") could not be stored or read back there, with the system's reason.
class UnnamedFile {
public:
    explicit UnnamedFile(QString contents);
    // The same, in `folder` instead of the temporary folder of the moment.
    UnnamedFile(QString contents, QString folder);
    ~UnnamedFile();
    UnnamedFile(const UnnamedFile&) = delete;
    UnnamedFile& operator=(const UnnamedFile&) = delete;

    void write(std::uint64_t offset, std::string_view bytes);
    // Reads exactly `length` bytes.
    void read(std::uint64_t offset, char* target, std::size_t length) const;
    // Cuts the file to `size` bytes, to give the disk space back; false when it cannot.
    bool truncate(std::uint64_t size) noexcept;

    // Gives the file's first `size` bytes the name `path` in one step, with `permissions` as far
    // as the process's file mode mask allows, when no file has that name yet and the folder lies
    // on the same file system; the object then goes on with a new empty file. Returns false and
    // changes nothing when that cannot be done (a file of that name exists, another file system).
    bool nameAs(const QString& path, std::uint64_t size, unsigned permissions);

private:
    void ensureOpen();
    [[noreturn]] void fail(const char* what, int systemError) const;

    QString folder_;
    QString contents_;
    int fd_ = -1;
    bool unnamed_ = false; // made without a name, so it can be given one
};

} // namespace zobran
