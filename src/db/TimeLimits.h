#pragma once

namespace zobran::db {

// How long a statement may run, in seconds (0: no limit), from the settings ("StatementTimeLimit"
// for generation and imports, none unless set, as the server's own tools have it; "CatalogTimeLimit"
// for the lists of tables, fields and databases, 30 unless set). A value that is not a whole number
// of seconds from 0 up counts as not set.
int statementTimeLimit();
int catalogTimeLimit();

} // namespace zobran::db
