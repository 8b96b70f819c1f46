#include "generate/PendingLineBuffer.h"

#include "basics/FileError.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <limits>

#include <unistd.h>

namespace zobran {

namespace {

constexpr std::size_t WriteBufferBytes = std::size_t{1} << 20;
constexpr std::size_t CopyChunkBytes = std::size_t{1} << 20;

// The temporary file has no name of its own to show: the folder it lives in stands for it. The
// reason is the system's own ("No space left on device").
FileError tempFileError(const QString& folder, const QString& what, const QString& reason)
{
    return pathFileAccessError(folder, QStringLiteral("the pending script lines cannot be %1 in a temporary file there: %2")
                                           .arg(what, reason));
}

} // namespace

PendingLineBuffer::PendingLineBuffer(QObject* parent)
    : QAbstractListModel(parent), folder_(QDir::tempPath()), file_(folder_ + QStringLiteral("/zobran-lines-XXXXXX"))
{
    writeBuffer_.reserve(WriteBufferBytes + 4096);
}

PendingLineBuffer::~PendingLineBuffer() = default;

void PendingLineBuffer::ensureFileOpen()
{
    // Opened once; on Linux the file stays unnamed as long as nobody asks for its name.
    if (file_.isOpen())
        return;
    errno = 0;
    if (!file_.open()) {
        const int error = errno;
        throw tempFileError(folder_, QStringLiteral("stored"), error != 0 ? systemReason(error) : file_.errorString());
    }
}

void PendingLineBuffer::appendLine(std::string_view utf8)
{
    starts_.push_back(totalBytes());
    writeBuffer_.append(utf8);
    writeBuffer_.append("\r\n", 2);
    if (writeBuffer_.size() >= WriteBufferBytes)
        flushWriteBuffer();
}

void PendingLineBuffer::flushWriteBuffer()
{
    if (!writeBuffer_.empty()) {
        ensureFileOpen();
        // Written straight to the file, so a failure carries the system's reason.
        const char* p = writeBuffer_.data();
        std::size_t left = writeBuffer_.size();
        auto offset = static_cast<off_t>(flushedBytes_);
        while (left > 0) {
            const ssize_t written = ::pwrite(file_.handle(), p, left, offset);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw tempFileError(folder_, QStringLiteral("stored"), systemReason(written < 0 ? errno : ENOSPC));
            p += written;
            left -= static_cast<std::size_t>(written);
            offset += written;
        }
        flushedBytes_ += writeBuffer_.size();
        writeBuffer_.clear();
    }
    publishAppendedLines();
}

void PendingLineBuffer::publishAppendedLines()
{
    const std::size_t lines = std::min<std::size_t>(starts_.size(), std::numeric_limits<int>::max());
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
    starts_.clear();
    writeBuffer_.clear();
    flushedBytes_ = 0;
    publishedRows_ = 0;
    // Writing always starts at the offset of the first unwritten byte, so old bytes that a failed
    // truncation leaves behind are never read; truncating only gives the disk space back.
    if (file_.isOpen())
        file_.resize(0);
    endResetModel();
}

void PendingLineBuffer::readFromFile(std::uint64_t offset, char* target, std::size_t length) const
{
    auto at = static_cast<off_t>(offset);
    while (length > 0) {
        const ssize_t got = ::pread(file_.handle(), target, length, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw tempFileError(folder_, QStringLiteral("read back"), systemReason(errno));
        if (got == 0)
            throw tempFileError(folder_, QStringLiteral("read back"), QStringLiteral("the file ended early"));
        target += got;
        length -= static_cast<std::size_t>(got);
        at += got;
    }
}

std::string PendingLineBuffer::line(std::size_t index) const
{
    const std::uint64_t begin = starts_.at(index);
    const std::uint64_t end = (index + 1 < starts_.size() ? starts_[index + 1] : totalBytes()) - 2;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    if (begin >= flushedBytes_)
        return writeBuffer_.substr(static_cast<std::size_t>(begin - flushedBytes_), length);
    std::string text(length, '\0');
    readFromFile(begin, text.data(), length);
    return text;
}

void PendingLineBuffer::writeAllTo(const std::function<void(std::string_view bytes)>& write)
{
    const auto put = [&write](const char* data, std::size_t length) { write(std::string_view(data, length)); };
    if (flushedBytes_ > 0) {
        std::string chunk(static_cast<std::size_t>(std::min<std::uint64_t>(CopyChunkBytes, flushedBytes_)), '\0');
        for (std::uint64_t offset = 0; offset < flushedBytes_;) {
            const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), flushedBytes_ - offset));
            readFromFile(offset, chunk.data(), length);
            put(chunk.data(), length);
            offset += length;
        }
    }
    if (!writeBuffer_.empty())
        put(writeBuffer_.data(), writeBuffer_.size());
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
