#include "generate/InsertStatementBuilder.h"

#include "basics/AppError.h"
#include "db/SqlNames.h"

namespace zobran {

void InsertStatementBuilder::beginHead(std::string_view table, ScriptKind kind)
{
    bracketed_ = isBracketed(kind);
    columns_.clear();
    head_.clear();
    if (bracketed_)
        head_.push_back('<');
    head_.append("INSERT INTO ");
    head_.append(table);
    head_.append(" (");
}

void InsertStatementBuilder::addColumn(std::string_view name, int sqlType, int decimalDigits)
{
    if (!columns_.empty())
        head_.push_back(',');
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    head_.append(db::quotedName(text, server_).toStdString());
    columns_.push_back({valueCategoryOf(sqlType), decimalDigits});
}

void InsertStatementBuilder::endHead()
{
    if (columns_.empty())
        throw AppError(errnum::InvalidArgument, QStringLiteral("The query returns no columns to insert."));
    head_.append(") VALUES(");
}

} // namespace zobran
