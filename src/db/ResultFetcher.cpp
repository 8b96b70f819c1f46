#include "db/ResultFetcher.h"

#include "db/FloatText.h"
#include "db/SqlTypes.h"
#include "db/WideText.h"

#include <algorithm>
#include <array>

namespace zobran::db {

namespace {

// Columns announced wider than this (or of unknown width) get buffers of LongBoundChars; their
// longer values are read in pieces.
constexpr SQLLEN LongColumnChars = 4000;
constexpr SQLLEN LongBoundChars = 1024;
constexpr std::size_t BlockBytes = 8u << 20;
constexpr SQLULEN MaxRowsPerBlock = 1024;
constexpr std::size_t PieceUnits = 32768;

bool isLongType(SQLSMALLINT type)
{
    return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
}

} // namespace

struct ResultFetcher::Column {
    SQLSMALLINT type = 0;
    std::size_t units = 0; // wide characters the buffer holds, its terminator included
    std::vector<SQLWCHAR> buffer;
    std::vector<SQLLEN> indicators;
};

namespace {

// Floating-point values are kept as the shortest text that reads back to the same value.
void normalizeFloatText(std::string& buffer, std::size_t start, bool singlePrecision)
{
    std::array<char, 64> text{};
    const std::size_t length = buffer.size() - start;
    if (length >= text.size())
        return; // longer than any plain number: not one
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(start), buffer.end(), text.begin());
    buffer.resize(start);
    appendShortestFloatText(buffer, std::string_view(text.data(), length), singlePrecision);
}

void finishValue(FetchedRow& row, std::size_t start, SQLSMALLINT type)
{
    if (isFloatingType(type))
        normalizeFloatText(row.bytes(), start, type == SQL_REAL);
    row.endValue();
}

// Reads the value of column `number` of the current row in pieces of any length, appending it to
// the row; false when it is NULL (nothing appended).
bool readValueInPieces(OdbcHandle& stmt, SQLUSMALLINT number, std::vector<SQLWCHAR>& piece, std::string& out)
{
    const SQLLEN pieceBytes = static_cast<SQLLEN>(piece.size() * sizeof(SQLWCHAR));
    char16_t pending = 0;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = checked(SQLGetData(stmt.get(), number, SQL_C_WCHAR, piece.data(), pieceBytes, &indicator),
                                     stmt, "SQLGetData");
        if (rc == SQL_NO_DATA)
            break;
        if (indicator == SQL_NULL_DATA)
            return false;
        const bool more = indicator == SQL_NO_TOTAL || indicator >= pieceBytes;
        const std::size_t units = more ? piece.size() - 1 : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
        appendUtf16AsUtf8(out, piece.data(), units, pending);
        if (!more)
            break;
    }
    finishUtf16(out, pending);
    return true;
}

} // namespace

ResultFetcher::ResultFetcher(OdbcHandle& statement, bool piecesFromBlocks)
    : statement_(statement), piecesFromBlocks_(piecesFromBlocks)
{
    SQLSMALLINT count = 0;
    checked(SQLNumResultCols(statement_.get(), &count), statement_, "SQLNumResultCols");
    if (count <= 0)
        return;
    fields_.reserve(static_cast<std::size_t>(count));
    columns_.resize(static_cast<std::size_t>(count));
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        std::array<SQLWCHAR, 512> name{};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        checked(SQLDescribeColW(statement_.get(), i, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                &type, &size, &digits, &nullable),
                statement_, "SQLDescribeCol");
        SQLLEN display = 0;
        checked(SQLColAttributeW(statement_.get(), i, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display), statement_,
                "SQLColAttribute");
        Column& column = columns_[i - 1];
        column.type = type;
        const bool isLong = display <= 0 || display > LongColumnChars || isLongType(type);
        column.units = static_cast<std::size_t>(isLong ? LongBoundChars : display) + 1;

        FieldInfo field;
        const auto units = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)), name.size() - 1);
        char16_t pending = 0;
        appendUtf16AsUtf8(field.name, name.data(), units, pending);
        finishUtf16(field.name, pending);
        field.type = type;
        field.decimalDigits = digits;
        fields_.push_back(std::move(field));
    }
}

ResultFetcher::~ResultFetcher() = default;

void ResultFetcher::readAll(RowSink& sink, const ReadProgress& progress)
{
    if (!hasColumns())
        return;
    if (piecesFromBlocks_)
        readInBlocks(sink, progress);
    else
        readRowByRow(sink, progress);
}

void ResultFetcher::readInBlocks(RowSink& sink, const ReadProgress& progress)
{
    std::size_t rowBytes = 0;
    for (const Column& c : columns_)
        rowBytes += c.units * sizeof(SQLWCHAR) + sizeof(SQLLEN);
    const SQLULEN rowsPerBlock = std::clamp<SQLULEN>(BlockBytes / std::max<std::size_t>(rowBytes, 1), 1, MaxRowsPerBlock);

    OdbcHandle& stmt = statement_;
    std::vector<SQLUSMALLINT> status(rowsPerBlock);
    SQLULEN fetched = 0;
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
            stmt, "SQLSetStmtAttr");
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rowsPerBlock), 0), stmt,
            "SQLSetStmtAttr");
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), stmt, "SQLSetStmtAttr");
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_STATUS_PTR, status.data(), 0), stmt, "SQLSetStmtAttr");
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        Column& column = columns_[c];
        column.buffer.resize(column.units * rowsPerBlock);
        column.indicators.resize(rowsPerBlock);
        checked(SQLBindCol(stmt.get(), static_cast<SQLUSMALLINT>(c + 1), SQL_C_WCHAR, column.buffer.data(),
                           static_cast<SQLLEN>(column.units * sizeof(SQLWCHAR)), column.indicators.data()),
                stmt, "SQLBindCol");
    }

    FetchedRow row;
    std::vector<SQLWCHAR> piece;
    std::size_t rowsRead = 0;
    for (;;) {
        fetched = 0;
        if (checked(SQLFetchScroll(stmt.get(), SQL_FETCH_NEXT, 0), stmt, "SQLFetchScroll") == SQL_NO_DATA)
            break;
        for (SQLULEN r = 0; r < fetched; ++r) {
            if (status[r] == SQL_ROW_ERROR)
                throw DbError(diagnosticsOf(SQL_HANDLE_STMT, stmt.get()), QStringLiteral("A row could not be read."));
            if (status[r] == SQL_ROW_NOROW)
                continue;
            row.clear();
            bool positioned = false;
            for (std::size_t c = 0; c < columns_.size(); ++c) {
                const Column& column = columns_[c];
                const SQLLEN indicator = column.indicators[r];
                if (indicator == SQL_NULL_DATA) {
                    row.appendNull();
                    continue;
                }
                std::string& out = row.bytes();
                const std::size_t start = out.size();
                if (indicator == SQL_NO_TOTAL || indicator < 0
                    || static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) >= column.units) {
                    // Longer than its buffer: read it whole from its row.
                    if (!positioned) {
                        checked(SQLSetPos(stmt.get(), static_cast<SQLSETPOSIROW>(r + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE),
                                stmt, "SQLSetPos");
                        positioned = true;
                    }
                    piece.resize(PieceUnits);
                    if (!readValueInPieces(stmt, static_cast<SQLUSMALLINT>(c + 1), piece, out)) {
                        row.appendNull();
                        continue;
                    }
                } else {
                    char16_t pending = 0;
                    appendUtf16AsUtf8(out, column.buffer.data() + r * column.units,
                                      static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR), pending);
                    finishUtf16(out, pending);
                }
                finishValue(row, start, column.type);
            }
            sink.appendRow(row);
            ++rowsRead;
        }
        if (progress)
            progress(rowsRead);
    }
}

void ResultFetcher::readRowByRow(RowSink& sink, const ReadProgress& progress)
{
    OdbcHandle& stmt = statement_;
    std::vector<SQLWCHAR> piece(PieceUnits);
    FetchedRow row;
    std::size_t rowsRead = 0;
    while (checked(SQLFetch(stmt.get()), stmt, "SQLFetch") != SQL_NO_DATA) {
        row.clear();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            std::string& out = row.bytes();
            const std::size_t start = out.size();
            if (readValueInPieces(stmt, static_cast<SQLUSMALLINT>(c + 1), piece, out))
                finishValue(row, start, columns_[c].type);
            else
                row.appendNull();
        }
        sink.appendRow(row);
        ++rowsRead;
        if (progress && rowsRead % MaxRowsPerBlock == 0)
            progress(rowsRead);
    }
    if (progress)
        progress(rowsRead);
}

} // namespace zobran::db
