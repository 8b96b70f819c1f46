#pragma once

namespace zobran::db {

// How many statements of a KX file (and of a script batch OSQL runs against a server that is not
// SQL Server) go to the server in one text, from the settings ("KxBatchSize", 100 unless set). 1
// sends every statement on its own. A value that is not a whole number from 1 up counts as not set.
int statementBatchSize();

} // namespace zobran::db
