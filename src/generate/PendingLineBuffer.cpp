#include "generate/PendingLineBuffer.h"

#include "basics/FileError.h"

#include <QDir>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace zobran {

namespace {

constexpr std::size_t WriteBufferBytes = std::size_t{1} << 20;
constexpr std::size_t CopyChunkBytes = std::size_t{1} << 20;
constexpr std::size_t RecentStarts = std::size_t{1} << 16;

QString contentsName()
{
    return QStringLiteral("the pending script lines");
}

} // namespace

PendingLineBuffer::Part::Part(const QString& folder, std::size_t first, std::uint64_t start)
    : file(contentsName(), folder), firstLine(first), begin(start)
{
}

PendingLineBuffer::PendingLineBuffer(QObject* parent)
    : QAbstractListModel(parent), folder_(QDir::tempPath()), startsFile_(contentsName(), folder_)
{
    parts_.push_back(std::make_unique<Part>(folder_, 0, 0));
    writeBuffer_.reserve(WriteBufferBytes + 4096);
    recentStarts_.reserve(RecentStarts);
}

PendingLineBuffer::~PendingLineBuffer() = default;

// ---- adding lines ----

void PendingLineBuffer::append(std::string_view utf8)
{
    if (recentStarts_.size() == RecentStarts) {
        startsFile_.write(storedStarts_ * sizeof(std::uint64_t),
                          std::string_view(reinterpret_cast<const char*>(recentStarts_.data()),
                                           recentStarts_.size() * sizeof(std::uint64_t)));
        storedStarts_ += recentStarts_.size();
        recentStarts_.clear();
    }
    recentStarts_.push_back(totalBytes());
    ++lineCount_;
    writeBuffer_.append(utf8);
    writeBuffer_.append("\r\n", 2);
    if (writeBuffer_.size() >= WriteBufferBytes)
        flushWriteBuffer();
}

void PendingLineBuffer::appendLine(std::string_view utf8)
{
    if (heldBackLineCount() != 0)
        throw std::logic_error("a pending line cannot follow lines held back");
    // Parts left empty at the end take no pending line: the pending lines stay in the first part.
    while (parts_.size() > 1 && parts_.back()->firstLine == lineCount_)
        parts_.pop_back();
    append(utf8);
    pendingEnd_ = lineCount_;
    pendingEndByte_ = totalBytes();
}

void PendingLineBuffer::holdBackLine(std::string_view utf8)
{
    append(utf8);
}

void PendingLineBuffer::startNewPart()
{
    if (parts_.back()->firstLine == lineCount_ || parts_.size() >= MaxParts)
        return;
    flushWriteBuffer();
    parts_.push_back(std::make_unique<Part>(folder_, lineCount_, totalBytes()));
}

void PendingLineBuffer::flushWriteBuffer()
{
    if (!writeBuffer_.empty()) {
        Part& last = *parts_.back();
        last.file.write(flushedBytes_ - last.begin + last.fileOffset, writeBuffer_);
        flushedBytes_ += writeBuffer_.size();
        writeBuffer_.clear();
    }
    publishAppendedLines();
}

// ---- held-back lines become pending or go ----

void PendingLineBuffer::releaseHeldBackLines(std::size_t count)
{
    count = std::min(count, heldBackLineCount());
    if (count == 0)
        return;
    flushWriteBuffer();
    const std::size_t before = pendingEnd_;
    const std::uint64_t beforeByte = pendingEndByte_;
    pendingEndByte_ = startOf(before + count);
    pendingEnd_ = before + count;
    try {
        gatherPending();
    } catch (...) {
        // What was gathered stays in the first part, where lines held back may follow pending ones.
        pendingEnd_ = before;
        pendingEndByte_ = beforeByte;
        throw;
    }
    publishAppendedLines();
}

void PendingLineBuffer::gatherPending()
{
    // A first part without lines gives way to the next.
    while (parts_.size() > 1 && parts_[1]->firstLine == parts_[0]->firstLine)
        parts_.pop_front();
    // Pending lines that reach into the next part are copied after those of the first one. Only lines
    // kept pending by a failed write or spread over more parts than there are files come here.
    while (parts_.size() > 1 && pendingEnd_ > parts_[1]->firstLine) {
        Part& first = *parts_[0];
        Part& next = *parts_[1];
        const std::size_t nextEnd = endOfPart(1);
        const std::size_t upTo = std::min(pendingEnd_, nextEnd);
        const std::uint64_t end = startOf(upTo);
        std::uint64_t at = next.begin - first.begin + first.fileOffset;
        readStream(next, next.begin, end, [&first, &at](std::string_view bytes) {
            first.file.write(at, bytes);
            at += bytes.size();
        });
        if (upTo == nextEnd) {
            parts_.erase(parts_.begin() + 1);
        } else {
            next.fileOffset += end - next.begin;
            next.begin = end;
            next.firstLine = upTo;
        }
    }
}

void PendingLineBuffer::dropHeldBackLines() noexcept
{
    if (heldBackLineCount() == 0)
        return;
    while (parts_.size() > 1 && parts_.back()->firstLine >= pendingEnd_)
        parts_.pop_back();
    const std::uint64_t end = pendingEndByte_;
    lineCount_ = pendingEnd_;
    truncateStarts(lineCount_);
    if (end >= flushedBytes_) {
        writeBuffer_.resize(static_cast<std::size_t>(end - flushedBytes_));
    } else {
        writeBuffer_.clear();
        flushedBytes_ = end;
        Part& last = *parts_.back();
        last.file.truncate(end - last.begin + last.fileOffset); // only gives the space back
    }
    forgetLinesIfNoneLeft();
}

// ---- pending lines leave ----

bool PendingLineBuffer::firstPartHoldsOnlyPending() const
{
    return endOfPart(0) == pendingEnd_;
}

void PendingLineBuffer::clear()
{
    beginResetModel();
    Part& first = *parts_.front();
    if (firstPartHoldsOnlyPending()) {
        if (parts_.size() == 1) { // every line there is was pending
            writeBuffer_.clear();
            flushedBytes_ = pendingEndByte_;
        }
        // Writing starts at the offset of the first unwritten byte, so old bytes that a failed
        // truncation leaves behind are never read; truncating only gives the disk space back.
        first.file.truncate(0);
        first.fileOffset = 0;
    } else {
        first.fileOffset += pendingEndByte_ - first.begin;
    }
    first.begin = pendingEndByte_;
    first.firstLine = pendingEnd_;
    gatherPending(); // nothing is pending: only drops the emptied part
    forgetLinesIfNoneLeft();
    publishedRows_ = 0;
    endResetModel();
}

bool PendingLineBuffer::moveToNewFile(const QString& path)
{
    if (isEmpty())
        return false;
    flushWriteBuffer();
    Part& first = *parts_.front();
    if (!firstPartHoldsOnlyPending() || first.fileOffset != 0)
        return false;
    if (!first.file.nameAs(path, pendingEndByte_ - first.begin, 0644))
        return false;
    beginResetModel();
    first.begin = pendingEndByte_; // the part goes on with a new empty file
    first.firstLine = pendingEnd_;
    gatherPending(); // nothing is pending: only drops the emptied part
    forgetLinesIfNoneLeft();
    publishedRows_ = 0;
    endResetModel();
    return true;
}

void PendingLineBuffer::forgetLinesIfNoneLeft() noexcept
{
    if (firstLine() != lineCount_)
        return;
    parts_.erase(parts_.begin() + 1, parts_.end());
    Part& only = *parts_.front();
    only.file.truncate(0);
    only.firstLine = 0;
    only.begin = 0;
    only.fileOffset = 0;
    writeBuffer_.clear();
    flushedBytes_ = 0;
    lineCount_ = 0;
    pendingEnd_ = 0;
    pendingEndByte_ = 0;
    truncateStarts(0);
    startsFile_.truncate(0);
}

void PendingLineBuffer::truncateStarts(std::size_t lines) noexcept
{
    if (lines >= storedStarts_) {
        recentStarts_.resize(lines - storedStarts_);
    } else {
        storedStarts_ = lines; // the stored ones beyond are written over later
        recentStarts_.clear();
    }
}

// ---- reading back ----

std::size_t PendingLineBuffer::endOfPart(std::size_t index) const
{
    return index + 1 < parts_.size() ? parts_[index + 1]->firstLine : lineCount_;
}

std::uint64_t PendingLineBuffer::startOf(std::size_t line) const
{
    if (line >= lineCount_)
        return totalBytes();
    if (line >= storedStarts_)
        return recentStarts_[line - storedStarts_];
    std::uint64_t start = 0;
    startsFile_.read(line * sizeof start, reinterpret_cast<char*>(&start), sizeof start);
    return start;
}

const PendingLineBuffer::Part& PendingLineBuffer::partOf(std::size_t line) const
{
    auto part = parts_.rbegin();
    while ((*part)->firstLine > line)
        ++part;
    return **part;
}

void PendingLineBuffer::readStream(const Part& part, std::uint64_t from, std::uint64_t to,
                                   const std::function<void(std::string_view bytes)>& take) const
{
    // Bytes before flushedBytes_ are in the part's file, later ones (of the last part) in the buffer.
    const std::uint64_t inFile = std::min(to, flushedBytes_);
    if (from < inFile) {
        std::string chunk(static_cast<std::size_t>(std::min<std::uint64_t>(CopyChunkBytes, inFile - from)), '\0');
        for (std::uint64_t at = from; at < inFile;) {
            const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), inFile - at));
            part.file.read(at - part.begin + part.fileOffset, chunk.data(), length);
            take(std::string_view(chunk.data(), length));
            at += length;
        }
    }
    if (to > flushedBytes_) {
        const std::uint64_t start = std::max(from, flushedBytes_);
        take(std::string_view(writeBuffer_)
                 .substr(static_cast<std::size_t>(start - flushedBytes_), static_cast<std::size_t>(to - start)));
    }
}

std::string PendingLineBuffer::line(std::size_t index) const
{
    if (index >= lineCount())
        throw std::out_of_range("no such pending line");
    const std::size_t number = firstLine() + index;
    std::string text;
    readStream(partOf(number), startOf(number), startOf(number + 1) - 2,
               [&text](std::string_view bytes) { text.append(bytes); });
    return text;
}

void PendingLineBuffer::writeAllTo(const std::function<void(std::string_view bytes)>& write)
{
    if (isEmpty())
        return;
    // The pending lines are gathered in the first part.
    const Part& first = *parts_.front();
    readStream(first, first.begin, pendingEndByte_, write);
}

// ---- the list model ----

void PendingLineBuffer::publishAppendedLines()
{
    const std::size_t lines = std::min<std::size_t>(lineCount(), std::numeric_limits<int>::max());
    const int total = static_cast<int>(lines);
    if (total == publishedRows_)
        return;
    beginInsertRows(QModelIndex(), publishedRows_, total - 1);
    publishedRows_ = total;
    endInsertRows();
}

int PendingLineBuffer::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : publishedRows_;
}

QVariant PendingLineBuffer::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= publishedRows_)
        return {};
    try {
        const std::string text = line(static_cast<std::size_t>(index.row()));
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    } catch (const AppError& e) {
        return e.description(); // a view must not throw; it shows why the line is missing
    }
}

} // namespace zobran
