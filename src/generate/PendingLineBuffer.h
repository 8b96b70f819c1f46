#pragma once

#include "basics/UnnamedFile.h"

#include <QAbstractListModel>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zobran {

// The script lines waiting to be written into the next script file. Whole tables pass through
// here, so the lines are not kept in memory: each line, ended by CR LF, goes through a large write
// buffer into an unnamed temporary file, and the offset where each line begins into another, so
// that memory stays the same however many lines are pending.
//
// As a list model (the hidden line list of the Generate Script window) it shows one row per line,
// read back from the file on demand. Appending is silent; views learn about appended lines in
// batches, each time the write buffer goes to the file or publishAppendedLines() is called, and
// clear() resets them.
class PendingLineBuffer : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PendingLineBuffer(QObject* parent = nullptr);
    ~PendingLineBuffer() override;

    // Adds one line (UTF-8, without line end).
    void appendLine(std::string_view utf8);
    void clear();

    std::size_t lineCount() const { return lineCount_; }
    bool isEmpty() const { return lineCount_ == 0; }
    // A line without its line end.
    std::string line(std::size_t index) const;

    // Hands every pending line, each followed by CR LF, to write in large chunks. The lines stay
    // pending; the caller clears them once the output is safely closed. Raises FileError 75 when
    // the temporary file fails; whatever write raises goes through.
    void writeAllTo(const std::function<void(std::string_view bytes)>& write);

    // Makes the pending lines, each followed by CR LF, the new file `path` in one step without
    // writing them again: the temporary file gets that name (permissions rw-r--r-- as far as the
    // file mode mask allows). The buffer is then empty. Returns false and changes nothing when
    // that cannot be done (a file of that name exists, or lies on another file system): write the
    // lines with writeAllTo then.
    bool moveToNewFile(const QString& path);

    // Tells the views about the lines appended since they last heard.
    void publishAppendedLines();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void flushWriteBuffer();
    std::uint64_t totalBytes() const { return flushedBytes_ + writeBuffer_.size(); }
    std::uint64_t startOf(std::size_t index) const;
    void forgetLines();

    UnnamedFile file_;
    std::string writeBuffer_;
    std::uint64_t flushedBytes_ = 0;
    UnnamedFile startsFile_; // where each of the first storedStarts_ lines begins
    std::size_t storedStarts_ = 0;
    std::vector<std::uint64_t> recentStarts_; // where each later line begins
    std::size_t lineCount_ = 0;
    int publishedRows_ = 0;
};

} // namespace zobran
