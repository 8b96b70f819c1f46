#pragma once

#include "basics/AppError.h"

#include <QString>
#include <QStringList>

namespace zobran::db {

// The number a failure carries when the driver gives no native error number of its own.
constexpr long ProviderErrorNumber = -2147467259;

// One diagnostic record of the driver.
struct Diagnostic {
    QString sqlState;
    long nativeError = 0;
    QString message;
};

// A database failure: the first record's native number (when the driver gives one) and a
// description that starts with its SQLSTATE and holds every record.
class DbError : public AppError {
public:
    // headline, when given, is the first line of the description, above the records.
    explicit DbError(QList<Diagnostic> records, const QString& context = {}, const QString& headline = {});

    const QList<Diagnostic>& records() const noexcept { return records_; }
    QString sqlState() const { return records_.isEmpty() ? QString() : records_.first().sqlState; }

    // True when the connection the failure came from is gone (see isConnectionLost below).
    bool isConnectionLost() const;
    // True when the statement named a table or view the database does not have (SQL Server's
    // drivers say 42S02, the stand-in's 42P01).
    bool isMissingTable() const;

private:
    QList<Diagnostic> records_;
};

// True when the records say the connection is gone, so that nothing more can run on it: a record
// of SQLSTATE class 08 (connection exception: 08S01 communication link failure, 08003 no
// connection, ...), IMC06 (the SQL Server driver could not restore a broken connection), or the
// server's own word that it ended the session (57P01 or 57P02, which the test and demo server's
// driver passes on at the first failure after its server ended the session; it says 08S01 after).
bool isConnectionLost(const QList<Diagnostic>& records);

// The errors the database layer raises on its own.
AppError noConnectionError();        // 91: there is no connection object
AppError objectClosedError();        // 3704: the object is closed
AppError objectOpenError();          // 3705: the object is open already
AppError noCurrentRowError();        // 3021: reading past the last row
AppError unknownFieldError();        // 3265: no field of that name or position
AppError notAllowedInContextError(); // 3219: the operation is not allowed in this context

} // namespace zobran::db
