#include "db/DbError.h"

namespace zobran::db {

namespace {

long numberOf(const QList<Diagnostic>& records)
{
    for (const Diagnostic& d : records)
        if (d.nativeError != 0)
            return d.nativeError;
    return ProviderErrorNumber;
}

QString describe(const QList<Diagnostic>& records, const QString& context)
{
    QStringList lines;
    for (const Diagnostic& d : records)
        lines << d.sqlState + QStringLiteral(": ") + d.message;
    if (lines.isEmpty())
        lines << QStringLiteral("HY000: ")
                + (context.isEmpty() ? QStringLiteral("The driver reported a failure without a diagnostic record.")
                                     : context);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

DbError::DbError(QList<Diagnostic> records, const QString& context, const QString& headline)
    : AppError(numberOf(records),
               headline.isEmpty() ? describe(records, context)
                                  : headline + QLatin1Char('\n') + describe(records, context)),
      records_(std::move(records))
{
}

bool isConnectionLost(const QList<Diagnostic>& records)
{
    for (const Diagnostic& d : records) {
        const QString& state = d.sqlState;
        if (state.startsWith(QLatin1String("08")) || state == QLatin1String("IMC06") || state == QLatin1String("57P01")
            || state == QLatin1String("57P02"))
            return true;
    }
    return false;
}

bool DbError::isMissingTable() const
{
    const QString state = sqlState();
    return state == QLatin1String("42S02") || state == QLatin1String("42P01");
}

bool DbError::isConnectionLost() const
{
    return db::isConnectionLost(records_);
}

AppError noConnectionError()
{
    return AppError(errnum::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
}

AppError objectClosedError()
{
    return AppError(errnum::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

AppError objectOpenError()
{
    return AppError(errnum::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
}

AppError noCurrentRowError()
{
    return AppError(3021,
                    QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                   "Requested operation requires a current record."));
}

AppError unknownFieldError()
{
    return AppError(3265,
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                   "name or ordinal."));
}

AppError notAllowedInContextError()
{
    return AppError(3219, QStringLiteral("Operation is not allowed in this context."));
}

} // namespace zobran::db
