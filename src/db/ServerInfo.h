#pragma once

#include <QString>

namespace zobran::db {

// How a server takes several statements in one text, all or nothing.
enum class StatementBatchForm {
    None,        // not known: every statement goes on its own
    Transaction, // SQL Server: the text opens a transaction of its own and commits it at its end
    Implicit,    // the server runs a text of statements ended by ";" in one implicit transaction
};

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
    // How statements may be joined into one text for this server (the stand-in server runs a text
    // of several statements in one implicit transaction, as its simple query protocol defines).
    StatementBatchForm batchForm() const;
};

} // namespace zobran::db
