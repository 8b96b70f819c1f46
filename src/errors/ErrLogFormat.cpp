#include "errors/ErrLogFormat.h"

namespace zobran {

QString errLogFileName(const QDate& day)
{
    return QStringLiteral("Err_") + day.toString(QStringLiteral("ddMMyyyy")) + QStringLiteral(".Log");
}

QString errLogLine(const QDateTime& when, const ErrLogEntry& entry)
{
    return QStringLiteral("[ZOBRAN] ") + when.toString(QStringLiteral("dd/MM/yy")) + QLatin1Char(' ')
        + when.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Form[") + entry.form
        + QStringLiteral("] Sub[") + entry.sub + QStringLiteral("] Code[") + entry.code
        + QStringLiteral("] Msg[") + entry.message + QLatin1Char(']');
}

} // namespace zobran
