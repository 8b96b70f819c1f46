#include "import/ImportFailureLog.h"

#include "basics/AppPath.h"
#include "errors/ErrLogFormat.h"
#include "errors/ErrLogWriter.h"
#include "import/BatchRunResult.h"
#include "import/KxFileImport.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>

namespace zobran {

QString oneLine(const QString& text)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    QString line = text.trimmed();
    line.replace(lineBreaks, QStringLiteral(" | "));
    return line;
}

QString ImportFailureLog::logFilePath()
{
    return QDir(appSubPath(QStringLiteral("LOG"))).filePath(errLogFileName(QDate::currentDate()));
}

void ImportFailureLog::write(const QString& sub, long code, const QString& message)
{
    try {
        appendErrLog(ErrLogEntry{formName_, sub, QString::number(code), oneLine(message)},
                     QDateTime::currentDateTime());
        ++logged_;
    } catch (const std::exception& e) {
        // The failure itself is counted all the same; the closing message tells why it is not logged.
        if (logTrouble_.isEmpty())
            logTrouble_ = toAppError(e).description();
    }
}

void ImportFailureLog::statementFailed(const KxStatementFailure& failure)
{
    const std::lock_guard lock(mutex_);
    ++failedStatements_;
    write(QStringLiteral("ImportKXFile"), failure.error.number(),
          failure.error.description() + QStringLiteral(" [") + failure.path + QStringLiteral(", line ")
              + QString::number(failure.line) + QLatin1Char(']'));
}

void ImportFailureLog::connectionLost(const KxConnectionLoss& loss)
{
    const std::lock_guard lock(mutex_);
    ++failedStatements_;
    notRunStatements_ += loss.notRun;
    write(QStringLiteral("ImportKXFile"), loss.error.number(),
          QStringLiteral("The connection was lost at the statement on line %1 of %2, after %3 statement(s) of the file "
                         "had run; the file stopped there and its %4 later statement(s) were not run: %5")
              .arg(loss.line)
              .arg(loss.path)
              .arg(loss.executed)
              .arg(loss.notRun)
              .arg(loss.error.description()));
}

void ImportFailureLog::kxFileFailed(const QString& path, const AppError& error)
{
    const std::lock_guard lock(mutex_);
    ++failedFiles_;
    write(QStringLiteral("ImportKXFile"), error.number(),
          error.description() + QStringLiteral(" [") + path + QLatin1Char(']'));
}

void ImportFailureLog::osqlFileFailed(const QString& path, const BatchRunResult& result)
{
    const std::lock_guard lock(mutex_);
    ++failedFiles_;
    QString message = result.outcome() + QStringLiteral(" [") + path + QLatin1Char(']');
    if (!result.output.trimmed().isEmpty())
        message += QStringLiteral(": ") + result.output;
    write(QStringLiteral("RunBatchAndWait"), result.started ? result.exitStatus : -1, message);
}

void ImportFailureLog::databaseNotOpened(const QString& database, const AppError& error)
{
    const std::lock_guard lock(mutex_);
    write(QStringLiteral("OpenData"), error.number(),
          QStringLiteral("Database ") + database + QStringLiteral(": ") + error.description());
}

long ImportFailureLog::failedStatements() const
{
    const std::lock_guard lock(mutex_);
    return failedStatements_;
}

long ImportFailureLog::notRunStatements() const
{
    const std::lock_guard lock(mutex_);
    return notRunStatements_;
}

int ImportFailureLog::failedFiles() const
{
    const std::lock_guard lock(mutex_);
    return failedFiles_;
}

bool ImportFailureLog::anyLogged() const
{
    const std::lock_guard lock(mutex_);
    return logged_ > 0 || !logTrouble_.isEmpty();
}

QString ImportFailureLog::logTrouble() const
{
    const std::lock_guard lock(mutex_);
    return logTrouble_;
}

QString failureSummary(const ImportFailureLog& log)
{
    QStringList lines;
    if (log.failedFiles() > 0)
        lines << QString::number(log.failedFiles()) + QStringLiteral(" script file(s) failed.");
    if (log.failedStatements() > 0)
        lines << QString::number(log.failedStatements()) + QStringLiteral(" statement(s) of KX files failed.");
    if (log.notRunStatements() > 0)
        lines << QString::number(log.notRunStatements())
                + QStringLiteral(" statement(s) of KX files were not run: the connection was lost.");
    if (!log.logTrouble().isEmpty())
        lines << QStringLiteral("The daily error log could not be written: ") + log.logTrouble();
    else if (log.anyLogged())
        lines << QStringLiteral("The details are in the daily error log:\n") + ImportFailureLog::logFilePath();
    return lines.join(QLatin1Char('\n'));
}

} // namespace zobran
