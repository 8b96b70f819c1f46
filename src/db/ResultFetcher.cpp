#include "db/ResultFetcher.h"

#include "db/FloatText.h"
#include "db/SqlTypes.h"
#include "db/WideText.h"

#include <algorithm>
#include <array>

namespace zobran::db {

namespace {

// Columns announced wider than this (or of unknown width) are read in pieces, row by row.
constexpr SQLLEN LongColumnChars = 4000;
constexpr std::size_t BlockBytes = 8u << 20;
constexpr SQLULEN MaxRowsPerBlock = 1024;
constexpr std::size_t PieceUnits = 32768;

struct ColumnPlan {
    SQLSMALLINT type = 0;
    SQLLEN displayChars = 0;
    bool isLong = false;
};

struct TruncatedValue {};

std::vector<ColumnPlan> describeColumns(OdbcHandle& stmt, SQLSMALLINT count, std::vector<FieldInfo>& fields)
{
    std::vector<ColumnPlan> plans(static_cast<std::size_t>(count));
    fields.clear();
    fields.reserve(plans.size());
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        std::array<SQLWCHAR, 512> name{};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        checked(SQLDescribeColW(stmt.get(), i, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength, &type,
                                &size, &digits, &nullable),
                stmt, "SQLDescribeCol");
        SQLLEN display = 0;
        checked(SQLColAttributeW(stmt.get(), i, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display), stmt,
                "SQLColAttribute");
        ColumnPlan& plan = plans[i - 1];
        plan.type = type;
        plan.displayChars = display;
        plan.isLong = display <= 0 || display > LongColumnChars || type == SQL_LONGVARCHAR
            || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
        FieldInfo field;
        const auto units = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)), name.size() - 1);
        char16_t pending = 0;
        appendUtf16AsUtf8(field.name, name.data(), units, pending);
        finishUtf16(field.name, pending);
        field.type = type;
        field.decimalDigits = digits;
        fields.push_back(std::move(field));
    }
    return plans;
}

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

void finishValue(RowStore& rows, int column, std::size_t start, SQLSMALLINT type)
{
    if (isFloatingType(type))
        normalizeFloatText(rows.openValue(column), start, type == SQL_REAL);
    rows.endValue(column);
}

// Bound arrays, many rows per fetch. Throws TruncatedValue when a value does not fit its buffer.
void fetchInBlocks(OdbcHandle& stmt, const std::vector<ColumnPlan>& plans, RowStore& rows)
{
    std::size_t rowBytes = 0;
    for (const ColumnPlan& p : plans)
        rowBytes += static_cast<std::size_t>(p.displayChars + 1) * sizeof(SQLWCHAR) + sizeof(SQLLEN);
    const SQLULEN rowsPerBlock = std::clamp<SQLULEN>(BlockBytes / std::max<std::size_t>(rowBytes, 1), 1, MaxRowsPerBlock);

    std::vector<std::vector<SQLWCHAR>> buffers(plans.size());
    std::vector<std::vector<SQLLEN>> indicators(plans.size());
    std::vector<SQLUSMALLINT> status(rowsPerBlock);
    SQLULEN fetched = 0;
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
            stmt, "SQLSetStmtAttr");
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rowsPerBlock), 0), stmt,
            "SQLSetStmtAttr");
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), stmt, "SQLSetStmtAttr");
    checked(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_STATUS_PTR, status.data(), 0), stmt, "SQLSetStmtAttr");
    for (std::size_t c = 0; c < plans.size(); ++c) {
        const std::size_t width = static_cast<std::size_t>(plans[c].displayChars) + 1;
        buffers[c].resize(width * rowsPerBlock);
        indicators[c].resize(rowsPerBlock);
        checked(SQLBindCol(stmt.get(), static_cast<SQLUSMALLINT>(c + 1), SQL_C_WCHAR, buffers[c].data(),
                           static_cast<SQLLEN>(width * sizeof(SQLWCHAR)), indicators[c].data()),
                stmt, "SQLBindCol");
    }

    for (;;) {
        fetched = 0;
        if (checked(SQLFetchScroll(stmt.get(), SQL_FETCH_NEXT, 0), stmt, "SQLFetchScroll") == SQL_NO_DATA)
            break;
        for (SQLULEN r = 0; r < fetched; ++r) {
            if (status[r] == SQL_ROW_ERROR)
                throw DbError(diagnosticsOf(SQL_HANDLE_STMT, stmt.get()), QStringLiteral("A row could not be read."));
            if (status[r] == SQL_ROW_NOROW)
                continue;
            for (std::size_t c = 0; c < plans.size(); ++c) {
                const int column = static_cast<int>(c);
                const SQLLEN indicator = indicators[c][r];
                if (indicator == SQL_NULL_DATA) {
                    rows.appendNull(column);
                    continue;
                }
                const std::size_t width = static_cast<std::size_t>(plans[c].displayChars) + 1;
                if (indicator == SQL_NO_TOTAL || indicator < 0
                    || static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) >= width)
                    throw TruncatedValue{};
                std::string& out = rows.openValue(column);
                const std::size_t start = out.size();
                char16_t pending = 0;
                appendUtf16AsUtf8(out, buffers[c].data() + r * width, static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR), pending);
                finishUtf16(out, pending);
                finishValue(rows, column, start, plans[c].type);
            }
            rows.finishRow();
        }
    }
}

// One row at a time, every value read in pieces of any length.
void fetchRowByRow(OdbcHandle& stmt, const std::vector<ColumnPlan>& plans, RowStore& rows)
{
    std::vector<SQLWCHAR> piece(PieceUnits);
    const SQLLEN pieceBytes = static_cast<SQLLEN>(piece.size() * sizeof(SQLWCHAR));
    while (checked(SQLFetch(stmt.get()), stmt, "SQLFetch") != SQL_NO_DATA) {
        for (std::size_t c = 0; c < plans.size(); ++c) {
            const int column = static_cast<int>(c);
            std::string& out = rows.openValue(column);
            const std::size_t start = out.size();
            char16_t pending = 0;
            bool isNull = false;
            for (;;) {
                SQLLEN indicator = 0;
                const SQLRETURN rc = checked(SQLGetData(stmt.get(), static_cast<SQLUSMALLINT>(c + 1), SQL_C_WCHAR,
                                                        piece.data(), pieceBytes, &indicator),
                                             stmt, "SQLGetData");
                if (rc == SQL_NO_DATA)
                    break;
                if (indicator == SQL_NULL_DATA) {
                    isNull = true;
                    break;
                }
                const bool more = indicator == SQL_NO_TOTAL || indicator >= pieceBytes;
                const std::size_t units = more ? piece.size() - 1 : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
                appendUtf16AsUtf8(out, piece.data(), units, pending);
                if (!more)
                    break;
            }
            if (isNull) {
                out.resize(start);
                rows.appendNull(column);
            } else {
                finishUtf16(out, pending);
                finishValue(rows, column, start, plans[c].type);
            }
        }
        rows.finishRow();
    }
}

} // namespace

bool fetchResult(OdbcHandle& statement, const std::function<void()>& reexecute, std::vector<FieldInfo>& fields,
                 RowStore& rows)
{
    SQLSMALLINT count = 0;
    checked(SQLNumResultCols(statement.get(), &count), statement, "SQLNumResultCols");
    if (count <= 0)
        return false;
    const std::vector<ColumnPlan> plans = describeColumns(statement, count, fields);
    rows = RowStore(count);
    SQLLEN expected = 0;
    if (SQL_SUCCEEDED(SQLRowCount(statement.get(), &expected)) && expected > 0)
        rows.reserveRows(static_cast<std::size_t>(expected));

    const bool anyLong = std::any_of(plans.begin(), plans.end(), [](const ColumnPlan& p) { return p.isLong; });
    if (!anyLong) {
        try {
            fetchInBlocks(statement, plans, rows);
            return true;
        } catch (const TruncatedValue&) {
            rows = RowStore(count);
            checked(SQLFreeStmt(statement.get(), SQL_UNBIND), statement, "SQLFreeStmt");
            checked(SQLSetStmtAttr(statement.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0),
                    statement, "SQLSetStmtAttr");
            checked(SQLSetStmtAttr(statement.get(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0), statement, "SQLSetStmtAttr");
            checked(SQLSetStmtAttr(statement.get(), SQL_ATTR_ROW_STATUS_PTR, nullptr, 0), statement, "SQLSetStmtAttr");
            reexecute();
        }
    }
    fetchRowByRow(statement, plans, rows);
    return true;
}

} // namespace zobran::db
