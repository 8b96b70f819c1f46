#include "generate/PreparedStatements.h"

#include "db/ResultSet.h"
#include "generate/CountLengthError.h"
#include "generate/PendingLineBuffer.h"

namespace zobran {

namespace {

// The fields as the builder reads a query's columns.
struct FieldList {
    const std::vector<db::FieldInfo>& fields;
    int fieldCount() const { return static_cast<int>(fields.size()); }
    const db::FieldInfo& field(int i) const { return fields[static_cast<std::size_t>(i)]; }
};

} // namespace

PreparedStatements::PreparedStatements(InsertStatementBuilder& builder, LineCutter& cutter, PendingLineBuffer& lines,
                                       std::string table, ScriptKind kind, std::int64_t perFile, std::size_t filesLeft)
    : builder_(builder),
      cutter_(cutter),
      lines_(lines),
      table_(std::move(table)),
      kind_(kind),
      perFile_(perFile),
      filesLeft_(filesLeft)
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
        failedRow_ = rows_;
        return;
    }
    try {
        const std::vector<std::string_view>& pieces = cutter_.cut(statement);
        for (const std::string_view line : pieces)
            lines_.holdBackLine(line);
        linesSinceFileDue_ += pieces.size();
        if (perFile_ != 0 && rows_ % perFile_ == 0 && linesOfFilesDue_.size() < filesLeft_) {
            linesOfFilesDue_.push_back(linesSinceFileDue_);
            linesSinceFileDue_ = 0;
            lines_.startNewPart();
        }
    } catch (const std::exception& e) {
        throw CountLengthError(toAppError(e));
    }
}

} // namespace zobran
