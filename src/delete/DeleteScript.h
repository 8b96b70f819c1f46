#pragma once

#include "db/ServerInfo.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zobran {

namespace db {
class Connection;
}

// Delete scripts: one "Delete from " statement per table, one statement per line of a ".sql" file
// in the Export folder.

inline const QString DeleteStatementStart = QStringLiteral("Delete from ");

// "Delete from " and the table's name, quoted when it is not a regular identifier.
QString deleteStatement(const QString& table, const db::ServerInfo& server);

// The tables the lines delete from, by name as listed (quotes taken off); lines of any other kind
// name none.
QSet<QString> tablesDeletedBy(const QStringList& lines);

// "SQL-" + date "yyyyMMdd" + "-" + time "hhmmss": the name a save takes when the user gives none.
QString generatedDeleteScriptName(const QDateTime& now);

// What the user settles on while saving.
struct DeleteScriptSaveName {
    QString defaultName;  // generated, without extension
    QString enteredName;  // as typed; empty when the user gave none
    QString fileName;     // the name used, with ".sql"
    QString path;         // Export folder + file name
    bool replace = false; // the user accepted overwriting an existing file
};

// The questions of a save: the name (nothing when cancelled) and whether an existing file may be
// overwritten.
struct DeleteScriptSavePrompts {
    std::function<std::optional<QString>(const QString& defaultName)> askName;
    std::function<bool()> confirmOverwrite;
};

// Asks for a name until the user gives one no file has, accepts overwriting, or leaves the answer
// empty (the generated name is then used as it is). A typed name is used as typed, ".sql" added.
DeleteScriptSaveName chooseDeleteScriptName(const QString& exportFolder, const QString& defaultName,
                                            const DeleteScriptSavePrompts& prompts);

// Writes the lines, each ended by CR LF, as one all-or-nothing write: a file the user agreed to
// overwrite is replaced, any other existing file is appended to.
void writeDeleteScript(const DeleteScriptSaveName& name, const QStringList& lines);

// True for a line the window writes: "Delete from " and one table name, bare (a regular identifier)
// or quoted whole.
bool isPlainDeleteStatement(const QString& line);

// The first question of a run: "Do you want to delete seleted item?", after the lines that are
// not plain delete statements when there are any, as "Line 3: DROP TABLE t" (the first 10, then
// "and n more"), since they run as they are.
QString deleteRunQuestion(const QStringList& lines);

// Raises AppError 5 naming the first line that holds a NUL character and where: the server would
// run only the text before it, so such a list is not run at all.
void checkDeleteList(const QStringList& lines);

// Checks the list (checkDeleteList), then executes the statements one by one, each on its own;
// the first failure raises and the rest are not run. done hears, after each statement, how many
// have run so far. A stop of the run using the connection cancels the statement in flight and
// raises RunStopped; the statements after it are not run.
void executeEachStatement(const QStringList& statements, db::Connection& connection,
                          const std::function<void(int done)>& done = {});

} // namespace zobran
