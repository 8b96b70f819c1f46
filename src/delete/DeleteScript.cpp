#include "delete/DeleteScript.h"

#include "db/Statement.h"

#include "basics/TextFile.h"
#include "db/Connection.h"
#include "db/SqlNames.h"

#include <QFileInfo>

namespace zobran {

QString deleteStatement(const QString& table, const db::ServerInfo& server)
{
    return DeleteStatementStart + db::quotedName(table, server);
}

QSet<QString> tablesDeletedBy(const QStringList& lines)
{
    QSet<QString> tables;
    for (const QString& line : lines)
        if (line.startsWith(DeleteStatementStart))
            tables.insert(db::unquotedName(line.mid(DeleteStatementStart.size())));
    return tables;
}

QString generatedDeleteScriptName(const QDateTime& now)
{
    return QStringLiteral("SQL-") + now.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("-")
        + now.toString(QStringLiteral("HHmmss"));
}

DeleteScriptSaveName chooseDeleteScriptName(const QString& exportFolder, const QString& defaultName,
                                            const DeleteScriptSavePrompts& prompts)
{
    DeleteScriptSaveName name;
    name.defaultName = defaultName;
    const auto pathOf = [&exportFolder](const QString& fileName) { return exportFolder + u'/' + fileName; };
    for (;;) {
        name.enteredName = prompts.askName(defaultName).value_or(QString());
        if (name.enteredName.isEmpty() || !QFileInfo::exists(pathOf(name.enteredName + QStringLiteral(".sql"))))
            break;
        if (prompts.confirmOverwrite()) {
            name.replace = true;
            break;
        }
    }
    name.fileName = (name.enteredName.isEmpty() ? defaultName : name.enteredName) + QStringLiteral(".sql");
    name.path = pathOf(name.fileName);
    return name;
}

void writeDeleteScript(const DeleteScriptSaveName& name, const QStringList& lines)
{
    if (name.replace)
        deleteFileIfExists(name.path);
    appendTextLines(name.path, lines);
}

void executeEachStatement(const QStringList& statements, db::Connection& connection,
                          const std::function<void(int done)>& done)
{
    db::Statement statement(connection);
    int ran = 0;
    for (const QString& text : statements) {
        statement.execute(text);
        if (done)
            done(++ran);
    }
}

} // namespace zobran
