#pragma once

#include <QString>

namespace zobran::db {

// What the driver reports of the server a connection reached. Everything the program does
// differently by server is decided from this, here and nowhere else.
struct ServerInfo {
    QString dbmsName;        // "Microsoft SQL Server", "PostgreSQL", ...
    QString identifierQuote; // the driver's quote for names ("\""); " " or empty when it has none
    // The driver reads a bound column again with SQLGetData: of the row just fetched, and (the
    // second) of any row of a fetched block once SQLSetPos has moved to it. Values longer than their
    // buffers are read so, without fetching all rows one value at a time.
    bool readsBoundCells = false;
    bool readsCellsOfBlocks = false;

    // SQL Server itself: names quote as [name], a batch may hold several statements.
    bool isSqlServer() const;
    // The driver gives a timestamp as the text "yyyy-mm-dd hh:mm:ss" followed by the fraction
    // without its trailing zeros, so the program may fetch timestamps as numbers and write that
    // text itself (the stand-in server's driver takes each value's text apart and writes it again).
    bool writesTimestampsShortest() const;
};

} // namespace zobran::db
