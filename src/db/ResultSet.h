#pragma once

#include "db/RowStore.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zobran::db {

class Connection;

// A client-side result set: the whole result is read into memory when it is opened (the query runs
// once), can be read again (requery), counted, sorted in place and read forwards from the first
// row. Text arrives as wide characters and is kept as UTF-8.
class ResultSet {
public:
    ResultSet();
    ~ResultSet();
    ResultSet(ResultSet&&) noexcept;
    ResultSet& operator=(ResultSet&&) noexcept;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // A result set built in memory, already open (fakes and tests). Each row holds one optional
    // value per field; nullopt is NULL.
    static ResultSet fromRows(std::vector<FieldInfo> fields,
                              const std::vector<std::vector<std::optional<std::string>>>& rows);

    // Executes the query once and reads its whole result; progress hears how many rows are read.
    // A time limit (seconds, 0 for none) stops a query that runs longer.
    void open(const QString& sql, Connection& connection, ReadProgress progress = {}, int timeLimit = 0);
    // Runs the query again and reads the new result from the first row, in the sort set. A result
    // set built in memory has no query to run again: 3219.
    void requery();
    void close();
    bool isOpen() const { return open_; }

    // Forward reading; every call below raises 3704 while the result set is closed.
    bool eof() const;
    void moveFirst();
    void moveNext();
    long recordCount() const;

    int fieldCount() const;
    const FieldInfo& field(int index) const;
    // Value of the current row.
    bool isNull(int field) const;
    std::string_view value(int field) const; // UTF-8; empty for NULL

    // Random access in sorted order (for the grid); no current-row movement.
    bool isNullAt(std::size_t row, int field) const;
    std::string_view valueAt(std::size_t row, int field) const;

    // "name" or "name Desc": reorders the rows in place (stable); "" restores the read order.
    // An unknown field name raises an error and leaves the order as it was.
    void setSort(const QString& sort);
    const QString& sort() const { return sort_; }

    // Called after the rows have been re-read or reordered, so a bound view can follow at once.
    void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    struct Query;
    void requireOpen() const;
    void fetchAll();
    void applySort();
    std::size_t currentRow() const; // raises 3021 at the end
    std::size_t physicalRow(std::size_t row) const { return order_.empty() ? row : order_[row]; }
    void notifyChanged();

    bool open_ = false;
    std::vector<FieldInfo> fields_;
    RowStore rows_;
    std::vector<std::uint32_t> order_; // empty: read order
    QString sort_;
    std::size_t position_ = 0;
    std::unique_ptr<Query> query_; // the statement behind an opened (not in-memory) result set
    std::function<void()> changed_;
};

// A new result set opened on the connection, its rows read: what every opening site of the
// windows and jobs uses (the query runs once).
std::unique_ptr<ResultSet> openStaticResultSet(const QString& sql, Connection& connection, ReadProgress progress = {},
                                               int timeLimit = 0);

// Executes the query once on the connection and hands the fields, then every row of its result,
// to the sink (for readers that keep rows their own way). A statement without result columns
// raises 3704, as reading its closed result set would.
void readQueryRows(const QString& sql, Connection& connection, RowSink& rows, const ReadProgress& progress = {},
                   int timeLimit = 0);

// The rows of the query's result, counted as they are read and not kept (3704 as above).
long countQueryRows(const QString& sql, Connection& connection, const ReadProgress& progress = {});

// The text of the first field of every row, from the first row on.
QStringList firstFieldTexts(ResultSet& resultSet);

} // namespace zobran::db
