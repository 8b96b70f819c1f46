#include "db/ResultSet.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/FreedMemory.h"
#include "db/RowSort.h"
#include "db/SqlTypes.h"
#include "db/Statement.h"

namespace zobran::db {

namespace {

// Results of more rows than this give their memory back to the system when they go.
constexpr std::size_t LargeResultRows = 10000;

} // namespace

// The statement behind a result set read from a connection.
struct ResultSet::Query {
    QString sql;
    Connection* connection = nullptr;
    std::weak_ptr<void> connectionAlive;
    ReadProgress progress;
    int timeLimit = 0;
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

void ResultSet::open(const QString& sql, Connection& connection, ReadProgress progress, int timeLimit)
{
    if (open_)
        throw objectOpenError();
    auto query = std::make_unique<Query>();
    query->sql = sql;
    query->connection = &connection;
    query->connectionAlive = connection.aliveToken();
    query->progress = std::move(progress);
    query->timeLimit = timeLimit;
    query_ = std::move(query);
    fetchAll();
}

void ResultSet::requery()
{
    requireOpen();
    if (!query_)
        throw notAllowedInContextError(); // built in memory: there is no query to run again
    fetchAll();
    notifyChanged();
}

void ResultSet::fetchAll()
{
    Query& query = *query_;
    if (query.connectionAlive.expired())
        throw objectClosedError();
    Statement statement(*query.connection);
    if (query.timeLimit > 0)
        statement.setTimeLimit(query.timeLimit);
    RowStore rows;
    std::vector<FieldInfo> fields;
    // The store learns its columns from the fields.
    struct Reader : RowSink {
        RowStore& rows;
        std::vector<FieldInfo>& fields;
        Reader(RowStore& r, std::vector<FieldInfo>& f) : rows(r), fields(f) {}
        void begin(const std::vector<FieldInfo>& described) override
        {
            fields = described;
            rows = RowStore(static_cast<int>(described.size()));
        }
        void appendRow(const FetchedRow& row) override { rows.appendRow(row); }
    } reader(rows, fields);
    const bool hasRows = statement.query(query.sql, reader, query.progress);
    fields_ = std::move(fields);
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
    const SortOrder sort = parseSortOrder(sort_);
    int column = -1;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        if (QString::fromUtf8(fields_[static_cast<std::size_t>(i)].name).compare(sort.field, Qt::CaseInsensitive)
            == 0) {
            column = i;
            break;
        }
    }
    if (column < 0)
        throw unknownFieldError();
    const int type = fields_[static_cast<std::size_t>(column)].type;
    order_ = sortedRows(rows_, column, isNumericType(type) || type == sqltype::Bit, sort.descending);
}

void ResultSet::notifyChanged()
{
    if (changed_)
        changed_();
}

std::unique_ptr<ResultSet> openStaticResultSet(const QString& sql, Connection& connection, ReadProgress progress,
                                               int timeLimit)
{
    // Opening reads the rows already: reading them again at once would run the query twice.
    auto resultSet = std::make_unique<ResultSet>();
    resultSet->open(sql, connection, std::move(progress), timeLimit);
    return resultSet;
}

void readQueryRows(const QString& sql, Connection& connection, RowSink& rows, const ReadProgress& progress,
                   int timeLimit)
{
    Statement statement(connection);
    if (timeLimit > 0)
        statement.setTimeLimit(timeLimit);
    if (!statement.query(sql, rows, progress))
        throw objectClosedError();
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
