#include "generate/ScriptFileName.h"

namespace zobran {

QString defaultScriptName(const QDateTime& when, qint16 fileNumber)
{
    return QStringLiteral("SQL-") + when.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('-')
        + when.toString(QStringLiteral("HHmmss")) + QLatin1Char('-') + QString::number(fileNumber);
}

QString scriptFileName(const QString& name, ScriptKind kind)
{
    return name + QLatin1Char('.') + scriptKindText(kind);
}

bool isPlainFileName(const QString& name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

} // namespace zobran
