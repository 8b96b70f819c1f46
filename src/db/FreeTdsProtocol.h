#pragma once

namespace zobran::db {

// Makes FreeTDS speak SQL Server's protocol (TDS 7.4) from the first try, unless the user chose a
// version in the environment (TDSVER) already; a connection string's TDS_Version (an extra
// connection setting) still has the last word. Left to choose for itself, FreeTDS tries Sybase's
// protocol next when a server takes the connection and does not answer, and that second attempt
// waits without the login time limit. Call it at start-up, before the first connection.
void useSqlServerProtocolWithFreeTds();

} // namespace zobran::db
