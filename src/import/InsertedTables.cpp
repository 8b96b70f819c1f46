#include "import/InsertedTables.h"

#include "basics/TextFile.h"

#include <QRegularExpression>

namespace zobran {

QString insertedTableOf(const QString& line)
{
    // A KX statement begins with "<"; a name part is plain, [bracketed] or "quoted".
    static const QRegularExpression insert(
        QStringLiteral(
            R"(^\s*<?\s*INSERT\s+INTO\s+((?:\[[^\]]+\]|"[^"]+"|[A-Za-z_#@][\w#@$]*)(?:\.(?:\[[^\]]+\]|"[^"]+"|[A-Za-z_#@][\w#@$]*)){0,2}))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = insert.match(line);
    return match.hasMatch() ? match.captured(1) : QString();
}

QStringList insertedTables(const QStringList& paths)
{
    QStringList tables;
    for (const QString& path : paths) {
        try {
            TextFileReader file(path, LineEnds::CrLfOrLf);
            QString line;
            while (file.readLine(line)) {
                const QString table = insertedTableOf(line);
                if (!table.isEmpty() && !tables.contains(table, Qt::CaseInsensitive))
                    tables << table;
            }
        } catch (const std::exception&) {
            // The run itself reports a file it cannot read.
        }
    }
    return tables;
}

QString rowCountQuery(const QString& table)
{
    return QStringLiteral("SELECT COUNT(*) FROM ") + table;
}

} // namespace zobran
