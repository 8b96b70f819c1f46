#include "generate/PreparedStatements.h"

#include "db/ResultSet.h"

namespace zobran {

namespace {

// The fields as the builder reads a query's columns.
struct FieldList {
    const std::vector<db::FieldInfo>& fields;
    int fieldCount() const { return static_cast<int>(fields.size()); }
    const db::FieldInfo& field(int i) const { return fields[static_cast<std::size_t>(i)]; }
};

} // namespace

PreparedStatements::PreparedStatements(InsertStatementBuilder& builder, std::string table, ScriptKind kind)
    : builder_(builder), table_(std::move(table)), kind_(kind)
{
}

void PreparedStatements::begin(const std::vector<db::FieldInfo>& fields)
{
    builder_.beginQuery(table_, kind_, FieldList{fields});
}

void PreparedStatements::appendRow(const db::FetchedRow& row)
{
    ++rows_;
    if (failure_)
        return;
    std::string_view statement;
    try {
        statement = builder_.build(row);
    } catch (const std::exception&) {
        failure_ = std::current_exception();
        failedRow_ = rows_ - 1;
        return;
    }
    // A temporary file that fails ends the reading: that is no failure of this row.
    statement_.clear();
    statement_.bytes().assign(statement);
    statement_.endValue();
    statements_.appendRow(statement_);
}

void PreparedStatements::rewind()
{
    statements_.rewind();
    rowsRead_ = 0;
}

std::string_view PreparedStatements::next()
{
    if (rowsRead_ == failedRow_)
        std::rethrow_exception(failure_);
    ++rowsRead_;
    statements_.next();
    return statements_.value(0);
}

} // namespace zobran
