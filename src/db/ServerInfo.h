#pragma once

#include <QString>

namespace zobran::db {

// What the driver reports of the server a connection reached. Everything the program does
// differently by server is decided from this, here and nowhere else.
struct ServerInfo {
    QString dbmsName;        // "Microsoft SQL Server", "PostgreSQL", ...
    QString identifierQuote; // the driver's quote for names ("\""); " " or empty when it has none

    // SQL Server itself: names quote as [name], a batch may hold several statements.
    bool isSqlServer() const;
};

} // namespace zobran::db
