#pragma once

#include "db/OdbcHandle.h"
#include "db/ResultSet.h"

#include <functional>

namespace zobran::db {

// Reads the whole result of an executed statement into `rows`: the columns are described first,
// then rows are fetched in blocks into bound arrays, or one by one in pieces for long columns.
// Text is read as wide characters and stored as UTF-8; floating-point values are kept as the
// shortest text that reads back to the same value. When a bound value turns out longer than the
// driver announced, `reexecute` runs the statement again and the rows are read one by one.
// Returns false when the statement produced no result columns.
bool fetchResult(OdbcHandle& statement, const std::function<void()>& reexecute, std::vector<FieldInfo>& fields,
                 RowStore& rows);

} // namespace zobran::db
