#include "errors/ErrLogFormat.h"

#include <QRegularExpression>

namespace zobran {

namespace {

// A report is one line of the log: every line break inside a text (CR LF, CR, LF and the other
// breaks Unicode knows) becomes one blank.
QString oneLine(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|[\\r\\n\\v\\f\\x{85}\\x{2028}\\x{2029}]"));
    if (!text.contains(lineBreak))
        return text;
    QString line = text;
    line.replace(lineBreak, QStringLiteral(" "));
    return line;
}

} // namespace

QString errLogFileName(const QDate& day)
{
    return QStringLiteral("Err_") + day.toString(QStringLiteral("ddMMyyyy")) + QStringLiteral(".Log");
}

QString errLogLine(const QDateTime& when, const ErrLogEntry& entry)
{
    return QStringLiteral("[ZOBRAN] ") + when.toString(QStringLiteral("dd/MM/yy")) + QLatin1Char(' ')
        + when.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Form[") + oneLine(entry.form)
        + QStringLiteral("] Sub[") + oneLine(entry.sub) + QStringLiteral("] Code[") + oneLine(entry.code)
        + QStringLiteral("] Msg[") + oneLine(entry.message) + QLatin1Char(']');
}

} // namespace zobran
