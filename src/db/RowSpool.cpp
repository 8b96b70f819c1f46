#include "db/RowSpool.h"

#include "basics/FileError.h"

#include <QDir>

#include <algorithm>
#include <cstring>

namespace zobran::db {

namespace {

constexpr std::size_t BufferBytes = std::size_t{1} << 20;

} // namespace

RowSpool::RowSpool(int columnCount)
    : columnCount_(columnCount),
      file_(QStringLiteral("the rows read")),
      lengths_(static_cast<std::size_t>(columnCount)),
      starts_(static_cast<std::size_t>(columnCount))
{
    writeBuffer_.reserve(BufferBytes + 4096);
}

RowSpool::~RowSpool() = default;

void RowSpool::appendRow(const FetchedRow& row)
{
    const std::size_t headerBytes = static_cast<std::size_t>(columnCount_) * sizeof(std::uint32_t);
    const std::string_view text = row.allBytes();
    const std::size_t at = writeBuffer_.size();
    writeBuffer_.resize(at + headerBytes);
    char* header = writeBuffer_.data() + at;
    for (int c = 0; c < columnCount_; ++c) {
        std::uint32_t length = NullLength;
        if (!row.isNull(c)) {
            const std::size_t size = row.value(c).size();
            if (size >= NullLength)
                throw pathFileAccessError(QDir::tempPath(), QStringLiteral("a value of 4 GiB or more cannot be kept"));
            length = static_cast<std::uint32_t>(size);
        }
        std::memcpy(header + static_cast<std::size_t>(c) * sizeof length, &length, sizeof length);
    }
    writeBuffer_.append(text);
    ++rows_;
    if (writeBuffer_.size() >= BufferBytes)
        flushWriteBuffer();
}

void RowSpool::flushWriteBuffer()
{
    file_.write(fileBytes_, writeBuffer_);
    fileBytes_ += writeBuffer_.size();
    writeBuffer_.clear();
}

void RowSpool::rewind()
{
    flushWriteBuffer();
    std::string().swap(writeBuffer_);
    readBuffer_.resize(BufferBytes);
    readStart_ = readEnd_ = 0;
    currentRecordBytes_ = 0;
    readFileOffset_ = 0;
    rowsRead_ = 0;
}

// Makes sure readBuffer_ holds `wanted` bytes from readStart_ on (the rows are all there).
void RowSpool::readInto(std::size_t wanted)
{
    if (readEnd_ - readStart_ >= wanted)
        return;
    // Keep the bytes of the record begun, drop what is behind it, read as much as fits.
    std::memmove(readBuffer_.data(), readBuffer_.data() + readStart_, readEnd_ - readStart_);
    readEnd_ -= readStart_;
    readStart_ = 0;
    if (readBuffer_.size() < wanted)
        readBuffer_.resize(wanted);
    const std::size_t length = static_cast<std::size_t>(
        std::min<std::uint64_t>(readBuffer_.size() - readEnd_, fileBytes_ - readFileOffset_));
    file_.read(readFileOffset_, readBuffer_.data() + readEnd_, length);
    readEnd_ += length;
    readFileOffset_ += length;
}

bool RowSpool::next()
{
    readStart_ += currentRecordBytes_; // step over the current record
    currentRecordBytes_ = 0;
    if (rowsRead_ >= rows_)
        return false;
    const std::size_t headerBytes = static_cast<std::size_t>(columnCount_) * sizeof(std::uint32_t);
    readInto(headerBytes);
    std::size_t valueBytes = 0;
    for (int c = 0; c < columnCount_; ++c) {
        std::uint32_t length = 0;
        std::memcpy(&length, readBuffer_.data() + readStart_ + static_cast<std::size_t>(c) * sizeof length,
                    sizeof length);
        lengths_[static_cast<std::size_t>(c)] = length;
        valueBytes += length == NullLength ? 0 : length;
    }
    readInto(headerBytes + valueBytes);
    std::size_t at = readStart_ + headerBytes;
    for (int c = 0; c < columnCount_; ++c) {
        starts_[static_cast<std::size_t>(c)] = at;
        const std::uint32_t length = lengths_[static_cast<std::size_t>(c)];
        at += length == NullLength ? 0 : length;
    }
    currentRecordBytes_ = headerBytes + valueBytes;
    ++rowsRead_;
    return true;
}

std::string_view RowSpool::value(int column) const
{
    const std::uint32_t length = lengths_[static_cast<std::size_t>(column)];
    if (length == NullLength)
        return {};
    return std::string_view(readBuffer_.data() + starts_[static_cast<std::size_t>(column)], length);
}

} // namespace zobran::db
