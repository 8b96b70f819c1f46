#pragma once

#include "db/Connection.h"
#include "db/odbc/OdbcHandle.h"

namespace zobran::db {

// What the database layer itself may do with a connection beyond its public face.
struct ConnectionInternals {
    // A new statement handle on the open connection (3704 when closed).
    static OdbcHandle newStatement(Connection& connection) { return connection.newStatement(); }
};

} // namespace zobran::db
