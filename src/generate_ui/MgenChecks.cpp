#include "generate_ui/MgenChecks.h"

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

GenerationMessage generationClosingMessage(const GenerationOutcome& outcome, ScriptKind kind,
                                           long valuesWithCarriageReturn, long statementsNotRestorable)
{
    GenerationMessage message;
    if (outcome.stopped) {
        message.isFailure = true;
        message.text = (outcome.stoppedByUser ? QStringLiteral("Script generation was stopped. ")
                                              : QStringLiteral("Script generation stopped on an error. "))
            + (outcome.lastCompleteFile.isEmpty()
                   ? QStringLiteral("No file was written completely.")
                   : QStringLiteral("Last file written completely: ") + outcome.lastCompleteFile);
    } else if (outcome.lastCompleteFile.isEmpty()) {
        message.text = QStringLiteral("No script file was written: the queries returned no rows. Script Done.");
    } else {
        message.text = outcome.lastCompleteFile + QStringLiteral(" Script Done.");
        if (outcome.failedWrites == 1)
            message.text += QStringLiteral("\n\n1 file write(s) failed and were reported; their lines went into the "
                                           "next file written.");
    }
    if (outcome.failedWrites > 1)
        message.text
            += QStringLiteral("\n\n%1 file writes failed; the first failure was reported.%2")
                   .arg(outcome.failedWrites)
                   .arg(outcome.stopped ? QString() : QStringLiteral(" Their lines went into the next file written."));
    if (kind != ScriptKind::Kx)
        return message;
    if (valuesWithCarriageReturn > 0)
        message.text += QStringLiteral("\n\n%1 value(s) held a carriage return, which a KX file cannot carry: those "
                                       "values will not read back exactly. The SQL kind carries them intact.")
                            .arg(valuesWithCarriageReturn);
    if (statementsNotRestorable > 0)
        message.text += QStringLiteral("\n\n%1 statement(s) hold a long run of blanks or brackets and had to be cut "
                                       "where a KX reader cannot restore them exactly. The SQL kind carries them "
                                       "intact.")
                            .arg(statementsNotRestorable);
    return message;
}

} // namespace zobran
