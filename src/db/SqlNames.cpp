#include "db/SqlNames.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace zobran::db {

namespace {

constexpr int MaxIdentifierLength = 128;

// SQL Server's reserved keywords, upper case and sorted. "WITHIN" stands for WITHIN GROUP.
constexpr std::string_view ReservedWords[]{"ADD",
                                           "ALL",
                                           "ALTER",
                                           "AND",
                                           "ANY",
                                           "AS",
                                           "ASC",
                                           "AUTHORIZATION",
                                           "BACKUP",
                                           "BEGIN",
                                           "BETWEEN",
                                           "BREAK",
                                           "BROWSE",
                                           "BULK",
                                           "BY",
                                           "CASCADE",
                                           "CASE",
                                           "CHECK",
                                           "CHECKPOINT",
                                           "CLOSE",
                                           "CLUSTERED",
                                           "COALESCE",
                                           "COLLATE",
                                           "COLUMN",
                                           "COMMIT",
                                           "COMPUTE",
                                           "CONSTRAINT",
                                           "CONTAINS",
                                           "CONTAINSTABLE",
                                           "CONTINUE",
                                           "CONVERT",
                                           "CREATE",
                                           "CROSS",
                                           "CURRENT",
                                           "CURRENT_DATE",
                                           "CURRENT_TIME",
                                           "CURRENT_TIMESTAMP",
                                           "CURRENT_USER",
                                           "CURSOR",
                                           "DATABASE",
                                           "DBCC",
                                           "DEALLOCATE",
                                           "DECLARE",
                                           "DEFAULT",
                                           "DELETE",
                                           "DENY",
                                           "DESC",
                                           "DISK",
                                           "DISTINCT",
                                           "DISTRIBUTED",
                                           "DOUBLE",
                                           "DROP",
                                           "DUMP",
                                           "ELSE",
                                           "END",
                                           "ERRLVL",
                                           "ESCAPE",
                                           "EXCEPT",
                                           "EXEC",
                                           "EXECUTE",
                                           "EXISTS",
                                           "EXIT",
                                           "EXTERNAL",
                                           "FETCH",
                                           "FILE",
                                           "FILLFACTOR",
                                           "FOR",
                                           "FOREIGN",
                                           "FREETEXT",
                                           "FREETEXTTABLE",
                                           "FROM",
                                           "FULL",
                                           "FUNCTION",
                                           "GOTO",
                                           "GRANT",
                                           "GROUP",
                                           "HAVING",
                                           "HOLDLOCK",
                                           "IDENTITY",
                                           "IDENTITYCOL",
                                           "IDENTITY_INSERT",
                                           "IF",
                                           "IN",
                                           "INDEX",
                                           "INNER",
                                           "INSERT",
                                           "INTERSECT",
                                           "INTO",
                                           "IS",
                                           "JOIN",
                                           "KEY",
                                           "KILL",
                                           "LEFT",
                                           "LIKE",
                                           "LINENO",
                                           "LOAD",
                                           "MERGE",
                                           "NATIONAL",
                                           "NOCHECK",
                                           "NONCLUSTERED",
                                           "NOT",
                                           "NULL",
                                           "NULLIF",
                                           "OF",
                                           "OFF",
                                           "OFFSETS",
                                           "ON",
                                           "OPEN",
                                           "OPENDATASOURCE",
                                           "OPENQUERY",
                                           "OPENROWSET",
                                           "OPENXML",
                                           "OPTION",
                                           "OR",
                                           "ORDER",
                                           "OUTER",
                                           "OVER",
                                           "PERCENT",
                                           "PIVOT",
                                           "PLAN",
                                           "PRECISION",
                                           "PRIMARY",
                                           "PRINT",
                                           "PROC",
                                           "PROCEDURE",
                                           "PUBLIC",
                                           "RAISERROR",
                                           "READ",
                                           "READTEXT",
                                           "RECONFIGURE",
                                           "REFERENCES",
                                           "REPLICATION",
                                           "RESTORE",
                                           "RESTRICT",
                                           "RETURN",
                                           "REVERT",
                                           "REVOKE",
                                           "RIGHT",
                                           "ROLLBACK",
                                           "ROWCOUNT",
                                           "ROWGUIDCOL",
                                           "RULE",
                                           "SAVE",
                                           "SCHEMA",
                                           "SECURITYAUDIT",
                                           "SELECT",
                                           "SEMANTICKEYPHRASETABLE",
                                           "SEMANTICSIMILARITYDETAILSTABLE",
                                           "SEMANTICSIMILARITYTABLE",
                                           "SESSION_USER",
                                           "SET",
                                           "SETUSER",
                                           "SHUTDOWN",
                                           "SOME",
                                           "STATISTICS",
                                           "SYSTEM_USER",
                                           "TABLE",
                                           "TABLESAMPLE",
                                           "TEXTSIZE",
                                           "THEN",
                                           "TO",
                                           "TOP",
                                           "TRAN",
                                           "TRANSACTION",
                                           "TRIGGER",
                                           "TRUNCATE",
                                           "TRY_CONVERT",
                                           "TSEQUAL",
                                           "UNION",
                                           "UNIQUE",
                                           "UNPIVOT",
                                           "UPDATE",
                                           "UPDATETEXT",
                                           "USE",
                                           "USER",
                                           "VALUES",
                                           "VARYING",
                                           "VIEW",
                                           "WAITFOR",
                                           "WHEN",
                                           "WHERE",
                                           "WHILE",
                                           "WITH",
                                           "WITHIN",
                                           "WRITETEXT"};
static_assert(std::is_sorted(std::begin(ReservedWords), std::end(ReservedWords)));

constexpr bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
constexpr bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isReservedWord(const QString& name)
{
    const QByteArray upper = name.toUpper().toLatin1();
    const std::string_view word(upper.constData(), static_cast<std::size_t>(upper.size()));
    return std::binary_search(std::begin(ReservedWords), std::end(ReservedWords), word);
}

QString enclosed(const QString& name, QChar open, QChar close)
{
    QString text = name;
    text.replace(close, QString(2, close));
    return open + text + close;
}

// The text between the outer quotes with every doubled closing quote made single, when the whole
// text is one quoted name of that kind.
bool unquoteOne(const QString& text, QChar open, QChar close, QString& name)
{
    if (text.size() < 2 || text.front() != open || text.back() != close)
        return false;
    QString inner;
    const qsizetype end = text.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        if (text[i] == close) {
            if (i + 1 >= end || text[i + 1] != close)
                return false; // a lone closing quote: not one quoted name
            ++i;
        }
        inner += text[i];
    }
    name = inner;
    return true;
}

} // namespace

bool isRegularIdentifier(const QString& name)
{
    if (name.isEmpty() || name.size() > MaxIdentifierLength)
        return false;
    const char16_t first = name.front().unicode();
    if (!isAsciiLetter(first) && first != u'_')
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (!isAsciiLetter(u) && !isAsciiDigit(u) && u != u'_' && u != u'@' && u != u'$' && u != u'#')
            return false;
    }
    return !isReservedWord(name);
}

QString quotedName(const QString& name, const ServerInfo& server)
{
    if (isRegularIdentifier(name))
        return name;
    const QString quote = server.identifierQuote.trimmed();
    if (server.isSqlServer() || quote.size() != 1)
        return enclosed(name, QLatin1Char('['), QLatin1Char(']'));
    return enclosed(name, quote.front(), quote.front());
}

QString unquotedName(const QString& text)
{
    QString name;
    if (unquoteOne(text, QLatin1Char('['), QLatin1Char(']'), name)
        || unquoteOne(text, QLatin1Char('"'), QLatin1Char('"'), name)
        || unquoteOne(text, QLatin1Char('`'), QLatin1Char('`'), name))
        return name;
    return text;
}

} // namespace zobran::db
