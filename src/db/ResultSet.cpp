#include "db/ResultSet.h"

#include "db/Connection.h"
#include "db/FreedMemory.h"
#include "db/ResultFetcher.h"
#include "db/SqlTypes.h"
#include "db/StatementText.h"
#include "db/WideText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

namespace zobran::db {

namespace {

// Results of more rows than this give their memory back to the system when they go.
constexpr std::size_t LargeResultRows = 10000;

double numberKey(std::string_view text)
{
    double value = std::numeric_limits<double>::quiet_NaN();
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int compareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(foldAscii(a[i]));
        const unsigned char y = static_cast<unsigned char>(foldAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A text's place in the sort order as far as its first 16 bytes, folded, tell it.
struct TextKey {
    std::uint64_t high = 0; // bytes 1 to 8, the first one highest
    std::uint64_t low = 0;  // bytes 9 to 16
    std::uint32_t row = 0;
    bool isNull = false;
};

TextKey textKeyOf(const RowStore& rows, std::size_t row, int column)
{
    TextKey key;
    key.row = static_cast<std::uint32_t>(row);
    key.isNull = rows.isNull(row, column);
    const std::string_view text = rows.value(row, column);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t byte = i < text.size() ? static_cast<unsigned char>(foldAscii(text[i])) : 0;
        if (i < 8)
            key.high |= byte << (8 * (7 - i));
        else
            key.low |= byte << (8 * (15 - i));
    }
    return key;
}

} // namespace

// The statement behind a result set read from a connection.
struct ResultSet::Query {
    QString sql;
    Connection* connection = nullptr;
    std::weak_ptr<void> connectionAlive;
    ReadProgress progress;
    bool freshFromOpen = false; // the rows open() just read are the current ones
};

ResultSet::ResultSet() = default;

ResultSet::~ResultSet()
{
    const bool large = rows_.rowCount() > LargeResultRows;
    rows_ = RowStore();
    order_ = {};
    if (large)
        returnFreedMemory();
}

ResultSet::ResultSet(ResultSet&&) noexcept = default;
ResultSet& ResultSet::operator=(ResultSet&&) noexcept = default;

ResultSet ResultSet::fromRows(std::vector<FieldInfo> fields,
                              const std::vector<std::vector<std::optional<std::string>>>& rows)
{
    ResultSet set;
    set.fields_ = std::move(fields);
    set.rows_ = RowStore(static_cast<int>(set.fields_.size()));
    for (const auto& row : rows) {
        for (int c = 0; c < static_cast<int>(set.fields_.size()); ++c) {
            const auto& v = c < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(c)] : std::nullopt;
            if (v)
                set.rows_.appendValue(c, *v);
            else
                set.rows_.appendNull(c);
        }
        set.rows_.finishRow();
    }
    set.open_ = true;
    return set;
}

void ResultSet::open(const QString& sql, Connection& connection, ReadProgress progress)
{
    if (open_)
        throw objectOpenError();
    auto query = std::make_unique<Query>();
    query->sql = sql;
    query->connection = &connection;
    query->connectionAlive = connection.aliveToken();
    query->progress = std::move(progress);
    query_ = std::move(query);
    fetchAll();
    query_->freshFromOpen = true;
}

void ResultSet::requery()
{
    requireOpen();
    if (!query_)
        return; // built in memory: nothing to read again
    if (query_->freshFromOpen) {
        query_->freshFromOpen = false;
        position_ = 0;
        return;
    }
    fetchAll();
    notifyChanged();
}

void ResultSet::fetchAll()
{
    Query& query = *query_;
    if (query.connectionAlive.expired())
        throw objectClosedError();
    checkStatementText(query.sql);
    OdbcHandle statement = query.connection->newStatement();
    const std::vector<SQLWCHAR> text = toSqlWide(query.sql);
    checked(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR*>(text.data()), SQL_NTS), statement, "SQLExecDirect");
    ResultFetcher fetcher(statement, query.connection->serverInfo());
    RowStore rows(static_cast<int>(fetcher.fields().size()));
    fetcher.readAll(rows, query.progress);
    const bool hasRows = fetcher.hasColumns();
    fields_ = fetcher.fields();
    rows_ = std::move(rows);
    order_.clear();
    position_ = 0;
    // A statement without result columns leaves the result set closed, as an action query does.
    open_ = hasRows;
    if (!sort_.isEmpty() && open_) {
        try {
            applySort();
        } catch (...) {
            sort_.clear();
            throw;
        }
    }
}

void ResultSet::close()
{
    requireOpen();
    const bool large = rows_.rowCount() > LargeResultRows;
    open_ = false;
    fields_.clear();
    rows_ = RowStore();
    order_ = {};
    if (large)
        returnFreedMemory();
    sort_.clear();
    position_ = 0;
    query_.reset();
    notifyChanged();
}

void ResultSet::requireOpen() const
{
    if (!open_)
        throw objectClosedError();
}

bool ResultSet::eof() const
{
    requireOpen();
    return position_ >= rows_.rowCount();
}

void ResultSet::moveFirst()
{
    requireOpen();
    position_ = 0;
}

void ResultSet::moveNext()
{
    requireOpen();
    if (position_ >= rows_.rowCount())
        throw noCurrentRowError();
    ++position_;
}

long ResultSet::recordCount() const
{
    requireOpen();
    return static_cast<long>(rows_.rowCount());
}

int ResultSet::fieldCount() const
{
    requireOpen();
    return static_cast<int>(fields_.size());
}

const FieldInfo& ResultSet::field(int index) const
{
    requireOpen();
    if (index < 0 || index >= static_cast<int>(fields_.size()))
        throw unknownFieldError();
    return fields_[static_cast<std::size_t>(index)];
}

std::size_t ResultSet::currentRow() const
{
    if (eof())
        throw noCurrentRowError();
    return physicalRow(position_);
}

bool ResultSet::isNull(int field) const
{
    return rows_.isNull(currentRow(), field);
}

std::string_view ResultSet::value(int field) const
{
    return rows_.value(currentRow(), field);
}

bool ResultSet::isNullAt(std::size_t row, int field) const
{
    return rows_.isNull(physicalRow(row), field);
}

std::string_view ResultSet::valueAt(std::size_t row, int field) const
{
    return rows_.value(physicalRow(row), field);
}

void ResultSet::setSort(const QString& sort)
{
    requireOpen();
    const QString previous = sort_;
    sort_ = sort.trimmed();
    try {
        applySort();
    } catch (...) {
        sort_ = previous;
        throw;
    }
    position_ = 0;
    notifyChanged();
}

void ResultSet::applySort()
{
    if (sort_.isEmpty()) {
        order_.clear();
        return;
    }
    QString name = sort_;
    bool descending = false;
    if (name.endsWith(QStringLiteral(" Desc"), Qt::CaseInsensitive)) {
        descending = true;
        name.chop(5);
    } else if (name.endsWith(QStringLiteral(" Asc"), Qt::CaseInsensitive)) {
        name.chop(4);
    }
    name = name.trimmed();
    int column = -1;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        if (QString::fromUtf8(fields_[static_cast<std::size_t>(i)].name).compare(name, Qt::CaseInsensitive) == 0) {
            column = i;
            break;
        }
    }
    if (column < 0)
        throw unknownFieldError();

    const std::size_t count = rows_.rowCount();
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    // NULLs come first in ascending order, last in descending order.
    const int type = fields_[static_cast<std::size_t>(column)].type;
    if (isNumericType(type) || type == SQL_BIT) {
        std::vector<double> keys(count);
        for (std::size_t r = 0; r < count; ++r)
            keys[r] = rows_.isNull(r, column) ? -std::numeric_limits<double>::infinity()
                                              : numberKey(rows_.value(r, column));
        auto less = [&](std::uint32_t a, std::uint32_t b) {
            const double x = keys[a], y = keys[b];
            if (std::isnan(x) || std::isnan(y))
                return !std::isnan(x) && std::isnan(y); // numbers before text that is not a number
            return x < y;
        };
        if (descending)
            std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return less(b, a); });
        else
            std::stable_sort(order.begin(), order.end(), less);
    } else {
        // The first bytes of every text, folded, decide most comparisons without reading the text.
        std::vector<TextKey> keys(count);
        for (std::size_t r = 0; r < count; ++r)
            keys[r] = textKeyOf(rows_, r, column);
        const auto compare = [&](const TextKey& a, const TextKey& b) {
            if (a.isNull || b.isNull)
                return a.isNull == b.isNull ? 0 : (a.isNull ? -1 : 1);
            if (a.high != b.high)
                return a.high < b.high ? -1 : 1;
            if (a.low != b.low)
                return a.low < b.low ? -1 : 1;
            return compareText(rows_.value(a.row, column), rows_.value(b.row, column));
        };
        // Equal texts keep their read order, both ways.
        if (descending)
            std::sort(keys.begin(), keys.end(), [&](const TextKey& a, const TextKey& b) {
                const int c = compare(b, a);
                return c != 0 ? c < 0 : a.row < b.row;
            });
        else
            std::sort(keys.begin(), keys.end(), [&](const TextKey& a, const TextKey& b) {
                const int c = compare(a, b);
                return c != 0 ? c < 0 : a.row < b.row;
            });
        for (std::size_t r = 0; r < count; ++r)
            order[r] = keys[r].row;
    }
    order_ = std::move(order);
}

void ResultSet::notifyChanged()
{
    if (changed_)
        changed_();
}

std::unique_ptr<ResultSet> openStaticResultSet(const QString& sql, Connection& connection, ReadProgress progress)
{
    auto resultSet = std::make_unique<ResultSet>();
    resultSet->open(sql, connection, std::move(progress));
    resultSet->requery();
    return resultSet;
}

void readQueryRows(const QString& sql, Connection& connection, RowSink& rows, const ReadProgress& progress)
{
    checkStatementText(sql);
    OdbcHandle statement = connection.newStatement();
    const std::vector<SQLWCHAR> text = toSqlWide(sql);
    checked(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR*>(text.data()), SQL_NTS), statement, "SQLExecDirect");
    ResultFetcher fetcher(statement, connection.serverInfo());
    if (!fetcher.hasColumns())
        throw objectClosedError();
    fetcher.readAll(rows, progress);
}

long countQueryRows(const QString& sql, Connection& connection, const ReadProgress& progress)
{
    struct Counter : RowSink {
        long rows = 0;
        void appendRow(const FetchedRow&) override { ++rows; }
    } counter;
    readQueryRows(sql, connection, counter, progress);
    return counter.rows;
}

QStringList firstFieldTexts(ResultSet& resultSet)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(resultSet.recordCount()));
    for (resultSet.moveFirst(); !resultSet.eof(); resultSet.moveNext()) {
        const std::string_view text = resultSet.value(0);
        texts.append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    return texts;
}

} // namespace zobran::db
