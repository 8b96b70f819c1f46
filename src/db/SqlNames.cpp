#include "db/SqlNames.h"

#include <QSet>

namespace zobran::db {

namespace {

// SQL Server's reserved keywords.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = [] {
        const char* const list[] = {
            "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUTHORIZATION", "BACKUP", "BEGIN", "BETWEEN",
            "BREAK", "BROWSE", "BULK", "BY", "CASCADE", "CASE", "CHECK", "CHECKPOINT", "CLOSE", "CLUSTERED",
            "COALESCE", "COLLATE", "COLUMN", "COMMIT", "COMPUTE", "CONSTRAINT", "CONTAINS", "CONTAINSTABLE",
            "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME",
            "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DBCC", "DEALLOCATE", "DECLARE",
            "DEFAULT", "DELETE", "DENY", "DESC", "DISK", "DISTINCT", "DISTRIBUTED", "DOUBLE", "DROP", "DUMP",
            "ELSE", "END", "ERRLVL", "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "EXIT", "EXTERNAL",
            "FETCH", "FILE", "FILLFACTOR", "FOR", "FOREIGN", "FREETEXT", "FREETEXTTABLE", "FROM", "FULL",
            "FUNCTION", "GOTO", "GRANT", "GROUP", "HAVING", "HOLDLOCK", "IDENTITY", "IDENTITY_INSERT",
            "IDENTITYCOL", "IF", "IN", "INDEX", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "KEY",
            "KILL", "LEFT", "LIKE", "LINENO", "LOAD", "MERGE", "NATIONAL", "NOCHECK", "NONCLUSTERED", "NOT",
            "NULL", "NULLIF", "OF", "OFF", "OFFSETS", "ON", "OPEN", "OPENDATASOURCE", "OPENQUERY",
            "OPENROWSET", "OPENXML", "OPTION", "OR", "ORDER", "OUTER", "OVER", "PERCENT", "PIVOT", "PLAN",
            "PRECISION", "PRIMARY", "PRINT", "PROC", "PROCEDURE", "PUBLIC", "RAISERROR", "READ", "READTEXT",
            "RECONFIGURE", "REFERENCES", "REPLICATION", "RESTORE", "RESTRICT", "RETURN", "REVERT", "REVOKE",
            "RIGHT", "ROLLBACK", "ROWCOUNT", "ROWGUIDCOL", "RULE", "SAVE", "SCHEMA", "SECURITYAUDIT", "SELECT",
            "SEMANTICKEYPHRASETABLE", "SEMANTICSIMILARITYDETAILSTABLE", "SEMANTICSIMILARITYTABLE",
            "SESSION_USER", "SET", "SETUSER", "SHUTDOWN", "SOME", "STATISTICS", "SYSTEM_USER", "TABLE",
            "TABLESAMPLE", "TEXTSIZE", "THEN", "TO", "TOP", "TRAN", "TRANSACTION", "TRIGGER", "TRUNCATE",
            "TRY_CONVERT", "TSEQUAL", "UNION", "UNIQUE", "UNPIVOT", "UPDATE", "UPDATETEXT", "USE", "USER",
            "VALUES", "VARYING", "VIEW", "WAITFOR", "WHEN", "WHERE", "WHILE", "WITH", "WRITETEXT"};
        QSet<QString> set;
        for (const char* word : list)
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

bool isFirstCharacter(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool isLaterCharacter(QChar c)
{
    return c.isLetter() || c.isDigit() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

QString enclosed(const QString& name, QChar open, QChar close)
{
    QString doubled = name;
    doubled.replace(close, QString(2, close));
    return open + doubled + close;
}

// The inside of open...close with every doubled close undone; false when text is not such a form.
bool openEnclosed(const QString& text, QChar open, QChar close, QString& inside)
{
    if (text.size() < 2 || text.front() != open || text.back() != close)
        return false;
    inside.clear();
    for (qsizetype i = 1; i < text.size() - 1; ++i) {
        if (text[i] == close) {
            // Inside the quotes a closing quote only stands doubled.
            if (i + 1 >= text.size() - 1 || text[i + 1] != close)
                return false;
            ++i;
        }
        inside += text[i];
    }
    return true;
}

} // namespace

bool isRegularIdentifier(const QString& name)
{
    if (name.isEmpty() || !isFirstCharacter(name.front()))
        return false;
    for (qsizetype i = 1; i < name.size(); ++i)
        if (!isLaterCharacter(name[i]))
            return false;
    return !reservedWords().contains(name.toUpper());
}

QString quotedName(const QString& name, const ServerInfo& server)
{
    if (isRegularIdentifier(name))
        return name;
    const QString quote = server.identifierQuote.trimmed();
    if (server.isSqlServer() || quote.size() != 1)
        return enclosed(name, u'[', u']');
    return enclosed(name, quote.front(), quote.front());
}

QString unquotedName(const QString& text)
{
    QString inside;
    if (openEnclosed(text, u'[', u']', inside) || openEnclosed(text, u'"', u'"', inside)
        || openEnclosed(text, u'`', u'`', inside))
        return inside;
    return text;
}

} // namespace zobran::db
