#pragma once

#include "basics/UnnamedFile.h"

#include <QAbstractListModel>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zobran {

// The script lines waiting to be written into the next script file. Whole tables pass through
// here, so the lines are not kept in memory: each line, ended by CR LF, goes through a large write
// buffer into an unnamed temporary file, and the offset where each line begins into another, so
// that memory stays the same however many lines are pending.
//
// A generation reads a query whole before its rows take their turn, so the lines of the rows read
// ahead are held back: stored once, in order after the pending lines, but neither counted, shown
// nor written until they are released. Held-back lines of a new part go into a temporary file of
// their own (up to MaxParts files), so that the lines of one script file, released and pending
// alone, become that file without being written again.
//
// As a list model (the hidden line list of the Generate Script window) it shows one row per
// pending line, read back from the file on demand. Appending is silent; views learn about pending
// lines in batches, each time the write buffer goes to the file, lines are released or
// publishAppendedLines() is called, and clear() resets them.
class PendingLineBuffer : public QAbstractListModel {
    Q_OBJECT
public:
    // The most temporary files the held-back lines are spread over; later parts share the last.
    static constexpr std::size_t MaxParts = 64;

    explicit PendingLineBuffer(QObject* parent = nullptr);
    ~PendingLineBuffer() override;

    // Adds one pending line (UTF-8, without line end); only while no line is held back.
    void appendLine(std::string_view utf8);
    // Forgets the pending lines; lines held back stay.
    void clear();

    std::size_t lineCount() const { return pendingEnd_ - firstLine(); }
    bool isEmpty() const { return lineCount() == 0; }
    // A pending line without its line end.
    std::string line(std::size_t index) const;

    // Adds one line held back, after every line there is.
    void holdBackLine(std::string_view utf8);
    // The lines held back from here on go into a temporary file of their own, while there are
    // fewer than MaxParts.
    void startNewPart();
    std::size_t heldBackLineCount() const { return lineCount_ - pendingEnd_; }
    // The first `count` lines held back become pending, after those pending already. Raises
    // FileError 75 when the temporary files fail.
    void releaseHeldBackLines(std::size_t count);
    // Forgets the lines held back (a generation that ends before their turn).
    void dropHeldBackLines() noexcept;

    // Hands every pending line, each followed by CR LF, to write in large chunks. The lines stay
    // pending; the caller clears them once the output is safely closed. Raises FileError 75 when
    // the temporary file fails; whatever write raises goes through.
    void writeAllTo(const std::function<void(std::string_view bytes)>& write);

    // Makes the pending lines, each followed by CR LF, the new file `path` in one step without
    // writing them again: the temporary file gets that name (permissions rw-r--r-- as far as the
    // file mode mask allows). No line is pending then. Returns false and changes nothing when
    // that cannot be done (a file of that name exists, or lies on another file system, or the
    // temporary file holds more than the pending lines): write the lines with writeAllTo then.
    bool moveToNewFile(const QString& path);

    // Tells the views about the lines that became pending since they last heard.
    void publishAppendedLines();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // Consecutive lines in a temporary file of their own: from firstLine to the next part's first
    // line (or the last line). The line stream's byte `begin` lies at `fileOffset` in the file;
    // bytes before it were written out and forgotten.
    struct Part {
        Part(const QString& folder, std::size_t first, std::uint64_t start);
        UnnamedFile file;
        std::size_t firstLine;
        std::uint64_t begin;
        std::uint64_t fileOffset = 0;
    };

    void append(std::string_view utf8);
    void flushWriteBuffer();
    std::size_t firstLine() const { return parts_.front()->firstLine; }
    std::size_t endOfPart(std::size_t index) const;
    std::uint64_t totalBytes() const { return flushedBytes_ + writeBuffer_.size(); }
    std::uint64_t startOf(std::size_t line) const; // also the end of the lines: totalBytes()
    const Part& partOf(std::size_t line) const;
    void readStream(const Part& part, std::uint64_t from, std::uint64_t to,
                    const std::function<void(std::string_view bytes)>& take) const;
    bool firstPartHoldsOnlyPending() const;
    void gatherPending();
    void forgetLinesIfNoneLeft() noexcept;
    void truncateStarts(std::size_t lines) noexcept;

    QString folder_; // where the temporary files go
    std::deque<std::unique_ptr<Part>> parts_;
    std::string writeBuffer_;        // the stream's last bytes, not yet in the last part's file
    std::uint64_t flushedBytes_ = 0; // the stream's bytes before writeBuffer_
    UnnamedFile startsFile_;         // where each of the first storedStarts_ lines begins
    std::size_t storedStarts_ = 0;
    std::vector<std::uint64_t> recentStarts_; // where each later line begins
    std::size_t lineCount_ = 0;               // lines of the stream, forgotten ones included
    std::size_t pendingEnd_ = 0;              // the lines from firstLine() up to here are pending, the rest held back
    std::uint64_t pendingEndByte_ = 0;        // where line pendingEnd_ begins in the stream
    int publishedRows_ = 0;
};

} // namespace zobran
