#pragma once

#include "db/RowStore.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace zobran::db {

// A sort as the grid asks for it: "name", "name Asc" or "name Desc" (the word in any case).
struct SortOrder {
    QString field;
    bool descending = false;
};
SortOrder parseSortOrder(const QString& sort);

// The rows of the store, by their number, in the order of one column; rows of equal values keep
// their read order both ways. NULLs come first in ascending order, last in descending order.
// Numbers (numeric and bit columns) sort by value, text that is not a number after them; text
// sorts by its bytes with ASCII letters folded to lower case.
std::vector<std::uint32_t> sortedRows(const RowStore& rows, int column, bool numeric, bool descending);

} // namespace zobran::db
