#include "generate/InsertStatementBuilder.h"

#include "basics/AppError.h"

namespace zobran {

void InsertStatementBuilder::beginHead(std::string_view table, ScriptKind kind)
{
    bracketed_ = isBracketed(kind);
    categories_.clear();
    head_.clear();
    if (bracketed_)
        head_.push_back('<');
    head_.append("INSERT INTO ");
    head_.append(table);
    head_.append(" (");
}

void InsertStatementBuilder::addColumn(std::string_view name, int sqlType)
{
    if (!categories_.empty())
        head_.push_back(',');
    head_.append(name);
    categories_.push_back(valueCategoryOf(sqlType));
}

void InsertStatementBuilder::endHead()
{
    if (categories_.empty())
        throw AppError(errnum::InvalidArgument, QStringLiteral("The query returns no columns to insert."));
    head_.append(") VALUES(");
}

} // namespace zobran
