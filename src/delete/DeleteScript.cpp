#include "delete/DeleteScript.h"

#include "basics/AppError.h"
#include "basics/TextFile.h"
#include "db/Connection.h"
#include "db/SqlNames.h"
#include "db/Statement.h"
#include "db/StatementText.h"
#include "db/TimeLimits.h"

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

bool isPlainDeleteStatement(const QString& line)
{
    if (!line.startsWith(DeleteStatementStart))
        return false;
    const QString name = line.mid(DeleteStatementStart.size());
    return db::isRegularIdentifier(name) || db::unquotedName(name) != name;
}

QString deleteRunQuestion(const QStringList& lines)
{
    constexpr int Shown = 10;
    constexpr int LongestShown = 200;
    QStringList unusual;
    int more = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isPlainDeleteStatement(lines[i]))
            continue;
        if (unusual.size() == Shown) {
            ++more;
            continue;
        }
        const QString& line = lines[i];
        unusual << QStringLiteral("Line %1: ").arg(i + 1)
                + (line.size() > LongestShown ? line.left(LongestShown) + QStringLiteral("...") : line);
    }
    const QString question = QStringLiteral("Do you want to delete seleted item?");
    if (unusual.isEmpty())
        return question;
    if (more > 0)
        unusual << QStringLiteral("and %1 more").arg(more);
    return QStringLiteral("These lines of the list are not \"Delete from\" and a table name; they run as they are:\n\n")
        + unusual.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + question;
}

void checkDeleteList(const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const qsizetype position = db::nulCharacterPosition(lines[i]))
            throw AppError(errnum::InvalidArgument,
                           QStringLiteral("Line %1 of the list holds a NUL character (U+0000) at character %2: the "
                                          "server would run only the text before it. Nothing of the list was run.")
                               .arg(i + 1)
                               .arg(position));
    }
}

void executeEachStatement(const QStringList& statements, db::Connection& connection,
                          const std::function<void(int done)>& done)
{
    checkDeleteList(statements);
    db::Statement statement(connection);
    statement.setTimeLimit(db::statementTimeLimit());
    int ran = 0;
    for (const QString& text : statements) {
        statement.execute(text);
        if (done)
            done(++ran);
    }
}

} // namespace zobran
