#pragma once

#include "db/ServerInfo.h"
#include "generate/ScriptKind.h"
#include "generate/SqlValueText.h"
#include "generate/ValueCategory.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace zobran {

// Builds the INSERT statement of a result row:
//   SQL kind: INSERT INTO <table> (<col>,<col>) VALUES(<value>,<value>)
//   KX kind:  the same between "<" and ">".
// Columns are named as the result reports them, in field order: bare when the name is a regular
// identifier, else quoted for the server (db/SqlNames.h) so the statement runs. Values follow the
// rules of SqlValueText.h. The part up to "VALUES(" is the same for every row of a query and is
// built once by beginQuery; build() then only appends the values, into a buffer reused from row to
// row.
//
// Row is any type offering fieldCount(), field(i).name (UTF-8), field(i).type (ODBC SQL type code),
// field(i).decimalDigits, isNull(i) and value(i) (UTF-8 text) for its current row, as db::ResultSet
// does.
class InsertStatementBuilder {
public:
    // The server the statements are for; it decides how irregular column names are quoted.
    void setServer(const db::ServerInfo& server) { server_ = server; }

    // Prepares the statements of one query whose rows go into table (UTF-8, written unchanged).
    template <class Row>
    void beginQuery(std::string_view table, ScriptKind kind, const Row& row);

    // The statement of the row's current row; valid until the next call.
    template <class Row>
    std::string_view build(const Row& row);

    // Values holding a carriage return, counted over every row built since the last reset. A KX
    // reader ends its lines at a carriage return, so such values cannot travel in a KX file intact.
    long valuesWithCarriageReturn() const { return valuesWithCarriageReturn_; }
    void resetCounts() { valuesWithCarriageReturn_ = 0; }

private:
    void beginHead(std::string_view table, ScriptKind kind);
    void addColumn(std::string_view name, int sqlType, int decimalDigits);
    void endHead();

    struct Column {
        ValueCategory category;
        int fractionDigits;
    };

    db::ServerInfo server_;
    std::string head_;
    std::vector<Column> columns_;
    bool bracketed_ = false;
    std::string statement_;
    long valuesWithCarriageReturn_ = 0;
};

template <class Row>
void InsertStatementBuilder::beginQuery(std::string_view table, ScriptKind kind, const Row& row)
{
    beginHead(table, kind);
    const int count = row.fieldCount();
    for (int i = 0; i < count; ++i) {
        const auto& field = row.field(i);
        addColumn(field.name, field.type, field.decimalDigits);
    }
    endHead();
}

template <class Row>
std::string_view InsertStatementBuilder::build(const Row& row)
{
    statement_.assign(head_);
    const int count = static_cast<int>(columns_.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            statement_.push_back(',');
        const bool isNull = row.isNull(i);
        const std::string_view value = isNull ? std::string_view() : std::string_view(row.value(i));
        if (!value.empty() && std::memchr(value.data(), '\r', value.size()))
            ++valuesWithCarriageReturn_;
        const Column& column = columns_[static_cast<std::size_t>(i)];
        appendSqlValue(statement_, column.category, isNull, value, column.fractionDigits);
    }
    statement_.push_back(')');
    if (bracketed_)
        statement_.push_back('>');
    return statement_;
}

} // namespace zobran
