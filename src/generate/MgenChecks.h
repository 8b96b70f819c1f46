#pragma once

#include "generate/ScriptKind.h"
#include "ui/ConnectionFields.h"

#include <QString>

#include <optional>

namespace zobran {

// The boxes a command button of the Generate Script window checks before it reconnects.
enum class MgenBox { Driver, Server, Database, Login, Password, Sql, TableName };

struct MgenRefusal {
    MgenBox box;     // where the focus goes
    QString message; // shown with title "Message" and the critical icon
};

// The first refusal of a click on CBut(button): the five connection boxes in order, then for the
// buttons 1, 2 and 3 the SQL box ("Invalid SQL !!!") and for the buttons 1 and 2 the table name
// ("Invalid Table Name !!!"). Nothing when the click may go on.
std::optional<MgenRefusal> mgenButtonRefusal(int button, const ConnectionTexts& connection, const QString& sql,
                                             const QString& tableName);

// The message after a generation: the last file written and " Script Done.". A KX run adds how
// many values held a carriage return (a KX file cannot carry them intact) and how many statements
// had to be cut where a KX reader cannot restore them.
QString generationCompletionMessage(const QString& lastScriptFile, ScriptKind kind, long valuesWithCarriageReturn,
                                    long statementsNotRestorable);

} // namespace zobran
