#include "import/RunReport.h"

#include "basics/AppPath.h"
#include "basics/TextFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace zobran {

namespace {

const QStringList Header{QStringLiteral("database"),          QStringLiteral("file"),
                         QStringLiteral("completed"),         QStringLiteral("statements executed"),
                         QStringLiteral("statements failed"), QStringLiteral("seconds"),
                         QStringLiteral("first error"),       QStringLiteral("table"),
                         QStringLiteral("rows before"),       QStringLiteral("rows after")};

QString csvValue(const QString& value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString csvLine(const QStringList& values)
{
    QStringList cells;
    for (const QString& value : values)
        cells << csvValue(value);
    return cells.join(QLatin1Char(','));
}

QStringList csvValues(const QString& line)
{
    QStringList values;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                current += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            values << current;
            current.clear();
        } else {
            current += c;
        }
    }
    values << current;
    return values;
}

RunReport::RunReport(const QString& path) : path_(path)
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    deleteFileIfExists(path_);
    append(Header);
}

void RunReport::append(const QStringList& values)
{
    const std::lock_guard lock(mutex_);
    // Errors keep to one line: the report reads line by line.
    QStringList oneLine = values;
    for (QString& value : oneLine)
        value.replace(QStringLiteral("\r\n"), QStringLiteral(" | ")).replace(QLatin1Char('\n'), QStringLiteral(" | "));
    appendTextLines(path_, {csvLine(oneLine)});
}

void RunReport::add(const FileRow& row)
{
    append({row.database, row.file,
            row.skipped ? QStringLiteral("skipped") : (row.completed ? QStringLiteral("yes") : QStringLiteral("no")),
            QString::number(row.executed), QString::number(row.failed), QString::number(row.seconds, 'f', 1),
            row.firstError, QString(), QString(), QString()});
}

void RunReport::add(const TableRow& row)
{
    append({row.database, QString(), QString(), QString(), QString(), QString(), QString(), row.table, row.rowsBefore,
            row.rowsAfter});
}

std::set<std::pair<QString, QString>> RunReport::completedPairs(const QString& path)
{
    std::set<std::pair<QString, QString>> pairs;
    const QStringList lines = readTextFileLines(path, LineEnds::CrLfOrLf);
    if (lines.isEmpty() || csvValues(lines.first()) != Header)
        return pairs;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList values = csvValues(lines[i]);
        if (values.size() >= 3 && !values[1].isEmpty()
            && (values[2] == QStringLiteral("yes") || values[2] == QStringLiteral("skipped")))
            pairs.emplace(values[0], values[1]);
    }
    return pairs;
}

QString RunReport::defaultPath()
{
    return QDir(appSubPath(QStringLiteral("LOG")))
        .filePath(QStringLiteral("run-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))
                  + QStringLiteral(".csv"));
}

} // namespace zobran
