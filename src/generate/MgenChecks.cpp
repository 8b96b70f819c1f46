#include "generate/MgenChecks.h"

namespace zobran {

namespace {

constexpr int AddQueryButton = 1;
constexpr int RefreshGridButton = 2;
constexpr int ExecuteSqlButton = 3;

} // namespace

std::optional<MgenRefusal> mgenButtonRefusal(int button, const ConnectionTexts& connection, const QString& sql,
                                             const QString& tableName)
{
    if (const std::optional<ConnectionField> empty = firstEmptyConnectionField(connection))
        return MgenRefusal{static_cast<MgenBox>(*empty), connectionFieldRefusal(*empty)};
    const bool needsSql = button == AddQueryButton || button == RefreshGridButton || button == ExecuteSqlButton;
    if (needsSql && sql.isEmpty())
        return MgenRefusal{MgenBox::Sql, QStringLiteral("Invalid SQL !!!")};
    const bool needsTable = button == AddQueryButton || button == RefreshGridButton;
    if (needsTable && tableName.isEmpty())
        return MgenRefusal{MgenBox::TableName, QStringLiteral("Invalid Table Name !!!")};
    return std::nullopt;
}

QString generationCompletionMessage(const QString& lastScriptFile, ScriptKind kind, long valuesWithCarriageReturn,
                                    long statementsNotRestorable)
{
    QString text = lastScriptFile + QStringLiteral(" Script Done.");
    if (kind != ScriptKind::Kx)
        return text;
    if (valuesWithCarriageReturn > 0)
        text += QStringLiteral("\n\n%1 value(s) held a carriage return, which a KX file cannot carry: those values "
                               "will not read back exactly. The SQL kind carries them intact.")
                    .arg(valuesWithCarriageReturn);
    if (statementsNotRestorable > 0)
        text += QStringLiteral("\n\n%1 statement(s) hold a long run of blanks or brackets and had to be cut where a "
                               "KX reader cannot restore them exactly. The SQL kind carries them intact.")
                    .arg(statementsNotRestorable);
    return text;
}

} // namespace zobran
