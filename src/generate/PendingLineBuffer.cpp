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

} // namespace

PendingLineBuffer::PendingLineBuffer(QObject* parent)
    : QAbstractListModel(parent),
      file_(QStringLiteral("the pending script lines")),
      startsFile_(QStringLiteral("the pending script lines"))
{
    writeBuffer_.reserve(WriteBufferBytes + 4096);
    recentStarts_.reserve(RecentStarts);
}

PendingLineBuffer::~PendingLineBuffer() = default;

void PendingLineBuffer::appendLine(std::string_view utf8)
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

void PendingLineBuffer::flushWriteBuffer()
{
    if (!writeBuffer_.empty()) {
        file_.write(flushedBytes_, writeBuffer_);
        flushedBytes_ += writeBuffer_.size();
        writeBuffer_.clear();
    }
    publishAppendedLines();
}

void PendingLineBuffer::publishAppendedLines()
{
    const std::size_t lines = std::min<std::size_t>(lineCount_, std::numeric_limits<int>::max());
    const int total = static_cast<int>(lines);
    if (total == publishedRows_)
        return;
    beginInsertRows(QModelIndex(), publishedRows_, total - 1);
    publishedRows_ = total;
    endInsertRows();
}

void PendingLineBuffer::clear()
{
    beginResetModel();
    writeBuffer_.clear();
    forgetLines();
    // Writing always starts at the offset of the first unwritten byte, so old bytes that a failed
    // truncation leaves behind are never read; truncating only gives the disk space back.
    file_.truncate(0);
    startsFile_.truncate(0);
    endResetModel();
}

void PendingLineBuffer::forgetLines()
{
    flushedBytes_ = 0;
    storedStarts_ = 0;
    recentStarts_.clear();
    lineCount_ = 0;
    publishedRows_ = 0;
}

std::uint64_t PendingLineBuffer::startOf(std::size_t index) const
{
    if (index >= storedStarts_)
        return recentStarts_[index - storedStarts_];
    std::uint64_t start = 0;
    startsFile_.read(index * sizeof start, reinterpret_cast<char*>(&start), sizeof start);
    return start;
}

std::string PendingLineBuffer::line(std::size_t index) const
{
    if (index >= lineCount_)
        throw std::out_of_range("no such pending line");
    const std::uint64_t begin = startOf(index);
    const std::uint64_t end = (index + 1 < lineCount_ ? startOf(index + 1) : totalBytes()) - 2;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    if (begin >= flushedBytes_)
        return writeBuffer_.substr(static_cast<std::size_t>(begin - flushedBytes_), length);
    std::string text(length, '\0');
    file_.read(begin, text.data(), length);
    return text;
}

void PendingLineBuffer::writeAllTo(const std::function<void(std::string_view bytes)>& write)
{
    const auto put = [&write](const char* data, std::size_t length) { write(std::string_view(data, length)); };
    if (flushedBytes_ > 0) {
        std::string chunk(static_cast<std::size_t>(std::min<std::uint64_t>(CopyChunkBytes, flushedBytes_)), '\0');
        for (std::uint64_t offset = 0; offset < flushedBytes_;) {
            const std::size_t length
                = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), flushedBytes_ - offset));
            file_.read(offset, chunk.data(), length);
            put(chunk.data(), length);
            offset += length;
        }
    }
    if (!writeBuffer_.empty())
        put(writeBuffer_.data(), writeBuffer_.size());
}

bool PendingLineBuffer::moveToNewFile(const QString& path)
{
    if (lineCount_ == 0)
        return false;
    flushWriteBuffer();
    if (!file_.nameAs(path, flushedBytes_, 0644))
        return false;
    beginResetModel();
    forgetLines();
    startsFile_.truncate(0);
    endResetModel();
    return true;
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
