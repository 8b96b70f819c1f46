#include "db/odbc/ResultFetcher.h"

#include "db/CellText.h"
#include "db/FloatText.h"
#include "db/SqlTypes.h"
#include "db/odbc/BlockPipeline.h"
#include "db/odbc/WideText.h"

#include <algorithm>
#include <array>
#include <memory>

namespace zobran::db {

namespace {

// Text columns announced wider than this (or of unknown width) get buffers of LongBoundChars;
// their longer values are read in pieces.
constexpr SQLLEN LongColumnChars = 4000;
constexpr SQLLEN LongBoundChars = 1024;
// A block of rows takes at most BlockBytes of buffers; BlockCount blocks take turns between the
// thread that fetches and the one that converts.
constexpr std::size_t BlockBytes = 1u << 20;
constexpr SQLULEN MaxRowsPerBlock = 256;
constexpr int BlockCount = 3;
constexpr std::size_t PieceUnits = 32768;

// How a column is fetched.
enum class Form {
    Integer,   // SQL_C_SBIGINT
    Bit,       // SQL_C_BIT
    Timestamp, // SQL_C_TYPE_TIMESTAMP
    Narrow,    // SQL_C_CHAR, text of single-byte characters
    Wide,      // SQL_C_WCHAR
};

bool isLongType(SQLSMALLINT type)
{
    return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
}

bool isText(Form form)
{
    return form == Form::Narrow || form == Form::Wide;
}

} // namespace

struct ResultFetcher::Column {
    SQLSMALLINT type = 0;
    Form form = Form::Wide;
    std::size_t textUnits = 0;    // characters the buffer of a text column holds, its terminator included
    std::size_t elementBytes = 0; // one row's share of the buffer
    std::size_t dataOffset = 0;   // of the buffer in the first block
    std::size_t indicatorOffset = 0;

    SQLSMALLINT cType() const
    {
        switch (form) {
        case Form::Integer:
            return SQL_C_SBIGINT;
        case Form::Bit:
            return SQL_C_BIT;
        case Form::Timestamp:
            return SQL_C_TYPE_TIMESTAMP;
        case Form::Narrow:
            return SQL_C_CHAR;
        case Form::Wide:
            return SQL_C_WCHAR;
        }
        return SQL_C_WCHAR;
    }
};

namespace {

Form formOf(SQLSMALLINT type, const ServerInfo& server)
{
    switch (type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return Form::Integer;
    case SQL_BIT:
        return Form::Bit;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return Form::Narrow;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return server.writesTimestampsShortest() ? Form::Timestamp : Form::Wide;
    default:
        return Form::Wide;
    }
}

TimestampParts partsOf(const SQL_TIMESTAMP_STRUCT& t)
{
    return {t.year, t.month, t.day, t.hour, t.minute, t.second, t.fraction};
}

// Reads column `number` of the current row (or the row SQLSetPos moved to) whole, in pieces,
// appending its text to out; false when it is NULL (nothing appended).
bool readValueInPieces(OdbcHandle& stmt, SQLUSMALLINT number, bool wide, std::vector<SQLWCHAR>& piece, std::string& out)
{
    piece.resize(PieceUnits);
    const SQLLEN pieceBytes = static_cast<SQLLEN>(piece.size() * sizeof(SQLWCHAR));
    const std::size_t terminatorBytes = wide ? sizeof(SQLWCHAR) : 1;
    char16_t pending = 0;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = checked(
            SQLGetData(stmt.get(), number, wide ? SQL_C_WCHAR : SQL_C_CHAR, piece.data(), pieceBytes, &indicator), stmt,
            "SQLGetData");
        if (rc == SQL_NO_DATA)
            break;
        if (indicator == SQL_NULL_DATA)
            return false;
        const bool more = indicator == SQL_NO_TOTAL || indicator > pieceBytes - static_cast<SQLLEN>(terminatorBytes);
        const std::size_t bytes
            = more ? static_cast<std::size_t>(pieceBytes) - terminatorBytes : static_cast<std::size_t>(indicator);
        if (wide)
            appendUtf16AsUtf8(out, piece.data(), bytes / sizeof(SQLWCHAR), pending);
        else
            out.append(reinterpret_cast<const char*>(piece.data()), bytes);
        if (!more)
            break;
    }
    finishUtf16(out, pending);
    return true;
}

// A cell whose bound buffer does not hold its value, read again whole as text.
struct RereadCell {
    SQLULEN row = 0;
    std::size_t column = 0;
    bool isNull = false;
    std::string utf8;
};

// Appends a cell read again whole.
void appendTextCell(FetchedRow& row, const RereadCell& cell, SQLSMALLINT type)
{
    if (cell.isNull) {
        row.appendNull();
        return;
    }
    const std::size_t start = row.bytes().size();
    row.bytes().append(cell.utf8);
    if (isFloatingType(type))
        shortenFloatTextFrom(row.bytes(), start, type == SQL_REAL);
    row.endValue();
}

} // namespace

// The bound buffers of BlockCount blocks of rows in one allocation; the driver fills one block
// while the rows of another are converted. The columns are bound to a block's buffers just before
// it is fetched.
class ResultFetcher::Blocks {
public:
    struct Block {
        SQLULEN fetched = 0;
        bool atEnd = false;
        std::vector<SQLUSMALLINT> status;
        std::vector<RereadCell> reread; // in row order, then column order
    };

    // maxRows: 1 for a driver that reads a cell again only from the row it has just fetched.
    Blocks(OdbcHandle& stmt, std::vector<Column>& columns, SQLULEN maxRows) : stmt_(stmt), columns_(columns)
    {
        std::size_t rowBytes = 0;
        for (const Column& c : columns_)
            rowBytes += c.elementBytes + sizeof(SQLLEN);
        rowsPerBlock_ = std::clamp<SQLULEN>(BlockBytes / std::max<std::size_t>(rowBytes, 1), 1, maxRows);
        std::size_t offset = 0;
        const auto aligned = [](std::size_t n) { return (n + 15) & ~std::size_t{15}; };
        for (Column& c : columns_) {
            c.dataOffset = offset;
            offset = aligned(offset + c.elementBytes * rowsPerBlock_);
            c.indicatorOffset = offset;
            offset = aligned(offset + sizeof(SQLLEN) * rowsPerBlock_);
        }
        blockBytes_ = offset;
        memory_ = std::make_unique_for_overwrite<std::uint64_t[]>(blockBytes_ * BlockCount / sizeof(std::uint64_t) + 1);
        for (Block& b : blocks_)
            b.status.resize(rowsPerBlock_);

        checked(
            SQLSetStmtAttr(stmt_.get(), SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
            stmt_, "SQLSetStmtAttr");
        checked(SQLSetStmtAttr(stmt_.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rowsPerBlock_), 0),
                stmt_, "SQLSetStmtAttr");
    }

    ~Blocks()
    {
        // The buffers go with this object: the driver must not keep pointers to them.
        SQLFreeStmt(stmt_.get(), SQL_UNBIND);
        SQLSetStmtAttr(stmt_.get(), SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
        SQLSetStmtAttr(stmt_.get(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    }

    Block& block(int index) { return blocks_[static_cast<std::size_t>(index)]; }

    template <class T>
    const T& cell(int index, std::size_t column, SQLULEN row) const
    {
        const Column& c = columns_[column];
        return *reinterpret_cast<const T*>(base() + static_cast<std::size_t>(index) * blockBytes_ + c.dataOffset
                                           + c.elementBytes * row);
    }
    SQLLEN indicator(int index, std::size_t column, SQLULEN row) const
    {
        return reinterpret_cast<const SQLLEN*>(base() + static_cast<std::size_t>(index) * blockBytes_
                                               + columns_[column].indicatorOffset)[row];
    }

    // Fills a block with the next rows and reads again, whole, every cell its buffer does not
    // hold. On the fetching thread.
    void fetch(int index)
    {
        Block& b = block(index);
        std::byte* const buffers = base() + static_cast<std::size_t>(index) * blockBytes_;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const Column& column = columns_[c];
            checked(SQLBindCol(stmt_.get(), static_cast<SQLUSMALLINT>(c + 1), column.cType(),
                               buffers + column.dataOffset, static_cast<SQLLEN>(column.elementBytes),
                               reinterpret_cast<SQLLEN*>(buffers + column.indicatorOffset)),
                    stmt_, "SQLBindCol");
        }
        b.fetched = 0;
        b.reread.clear();
        checked(SQLSetStmtAttr(stmt_.get(), SQL_ATTR_ROW_STATUS_PTR, b.status.data(), 0), stmt_, "SQLSetStmtAttr");
        checked(SQLSetStmtAttr(stmt_.get(), SQL_ATTR_ROWS_FETCHED_PTR, &b.fetched, 0), stmt_, "SQLSetStmtAttr");
        if (checked(SQLFetchScroll(stmt_.get(), SQL_FETCH_NEXT, 0), stmt_, "SQLFetchScroll") == SQL_NO_DATA) {
            b.fetched = 0;
            b.atEnd = true;
            return;
        }
        const std::array<CalendarDay, 3> aroundToday = daysAroundToday();
        for (SQLULEN r = 0; r < b.fetched; ++r) {
            if (b.status[r] == SQL_ROW_ERROR)
                throw DbError(diagnosticsOf(SQL_HANDLE_STMT, stmt_.get()), QStringLiteral("A row could not be read."));
            if (b.status[r] == SQL_ROW_NOROW)
                continue;
            bool positioned = false;
            for (std::size_t c = 0; c < columns_.size(); ++c) {
                if (!needsText(index, c, r, aroundToday))
                    continue;
                // With one row a block the driver is on that row already.
                if (!positioned && rowsPerBlock_ > 1) {
                    checked(SQLSetPos(stmt_.get(), static_cast<SQLSETPOSIROW>(r + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE),
                            stmt_, "SQLSetPos");
                    positioned = true;
                }
                RereadCell text;
                text.row = r;
                text.column = c;
                text.isNull = !readValueInPieces(stmt_, static_cast<SQLUSMALLINT>(c + 1),
                                                 columns_[c].form != Form::Narrow, piece_, text.utf8);
                b.reread.push_back(std::move(text));
            }
        }
    }

    // Appends the text of a cell its buffer holds whole.
    void appendCell(FetchedRow& row, int index, std::size_t c, SQLULEN r) const
    {
        const SQLLEN length = indicator(index, c, r);
        if (length == SQL_NULL_DATA) {
            row.appendNull();
            return;
        }
        std::string& out = row.bytes();
        const Column& column = columns_[c];
        switch (column.form) {
        case Form::Integer:
            appendIntegerText(out, cell<SQLBIGINT>(index, c, r));
            break;
        case Form::Bit:
            appendBitText(out, cell<SQLCHAR>(index, c, r));
            break;
        case Form::Timestamp:
            appendTimestampText(out, partsOf(cell<SQL_TIMESTAMP_STRUCT>(index, c, r)));
            break;
        case Form::Narrow:
            out.append(&cell<char>(index, c, r), static_cast<std::size_t>(length));
            break;
        case Form::Wide: {
            const std::size_t start = out.size();
            char16_t pending = 0;
            appendUtf16AsUtf8(out, &cell<SQLWCHAR>(index, c, r), static_cast<std::size_t>(length) / sizeof(SQLWCHAR),
                              pending);
            finishUtf16(out, pending);
            if (isFloatingType(column.type))
                shortenFloatTextFrom(out, start, column.type == SQL_REAL);
            break;
        }
        }
        row.endValue();
    }

private:
    std::byte* base() const { return reinterpret_cast<std::byte*>(memory_.get()); }

    bool needsText(int index, std::size_t c, SQLULEN r, const std::array<CalendarDay, 3>& aroundToday) const
    {
        const Column& column = columns_[c];
        const SQLLEN length = indicator(index, c, r);
        if (length == SQL_NULL_DATA)
            return false;
        if (isText(column.form)) {
            const std::size_t unitBytes = column.form == Form::Wide ? sizeof(SQLWCHAR) : 1;
            return length == SQL_NO_TOTAL || length < 0
                || static_cast<std::size_t>(length) / unitBytes >= column.textUnits;
        }
        if (column.form == Form::Timestamp)
            return !timestampFormFits(partsOf(cell<SQL_TIMESTAMP_STRUCT>(index, c, r)), aroundToday);
        return false;
    }

    OdbcHandle& stmt_;
    std::vector<Column>& columns_;
    SQLULEN rowsPerBlock_ = 1;
    std::size_t blockBytes_ = 0;
    std::unique_ptr<std::uint64_t[]> memory_;
    std::array<Block, BlockCount> blocks_;
    std::vector<SQLWCHAR> piece_;
};

ResultFetcher::ResultFetcher(OdbcHandle& statement, const ServerInfo& server)
    : statement_(statement), readsBoundCells_(server.readsBoundCells), readsCellsOfBlocks_(server.readsCellsOfBlocks)
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
        column.form = formOf(type, server);
        switch (column.form) {
        case Form::Integer:
            column.elementBytes = sizeof(SQLBIGINT);
            break;
        case Form::Bit:
            column.elementBytes = sizeof(SQLCHAR);
            break;
        case Form::Timestamp:
            column.elementBytes = sizeof(SQL_TIMESTAMP_STRUCT);
            break;
        case Form::Narrow:
        case Form::Wide: {
            const bool isLong = display <= 0 || display > LongColumnChars || isLongType(type);
            column.textUnits = static_cast<std::size_t>(isLong ? LongBoundChars : display) + 1;
            column.elementBytes = column.textUnits * (column.form == Form::Wide ? sizeof(SQLWCHAR) : 1);
            break;
        }
        }

        FieldInfo field;
        const auto units
            = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)), name.size() - 1);
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
    sink.begin(fields_);
    if (readsBoundCells_)
        readInBlocks(sink, progress);
    else
        readRowByRow(sink, progress);
}

void ResultFetcher::readInBlocks(RowSink& sink, const ReadProgress& progress)
{
    Blocks blocks(statement_, columns_, readsCellsOfBlocks_ ? MaxRowsPerBlock : 1);
    FetchedRow row;
    std::size_t rowsRead = 0;
    runBlockPipeline(
        BlockCount,
        [&blocks](int index) {
            blocks.fetch(index);
            return blocks.block(index).atEnd;
        },
        [&](int index) {
            const Blocks::Block& b = blocks.block(index);
            auto reread = b.reread.begin();
            for (SQLULEN r = 0; r < b.fetched; ++r) {
                if (b.status[r] == SQL_ROW_NOROW)
                    continue;
                row.clear();
                for (std::size_t c = 0; c < columns_.size(); ++c) {
                    if (reread != b.reread.end() && reread->row == r && reread->column == c) {
                        appendTextCell(row, *reread, columns_[c].type);
                        ++reread;
                    } else {
                        blocks.appendCell(row, index, c, r);
                    }
                }
                sink.appendRow(row);
                ++rowsRead;
            }
            if (progress)
                progress(rowsRead);
        });
}

void ResultFetcher::readRowByRow(RowSink& sink, const ReadProgress& progress)
{
    OdbcHandle& stmt = statement_;
    std::vector<SQLWCHAR> piece;
    FetchedRow row;
    std::size_t rowsRead = 0;
    while (checked(SQLFetch(stmt.get()), stmt, "SQLFetch") != SQL_NO_DATA) {
        row.clear();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            std::string& out = row.bytes();
            const std::size_t start = out.size();
            if (!readValueInPieces(stmt, static_cast<SQLUSMALLINT>(c + 1), true, piece, out)) {
                row.appendNull();
                continue;
            }
            if (isFloatingType(columns_[c].type))
                shortenFloatTextFrom(out, start, columns_[c].type == SQL_REAL);
            row.endValue();
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
