#pragma once

#include <QString>

#include <functional>

namespace zobran {

namespace db {
class Connection;
}

// The query that lists, for every item with more than one PLU code, its codes other than the item
// code itself, highest number first.
QString duplicatePluQuery();

// The DELETE of one PLU code of one item; every "'" in a value is doubled.
QString deletePluStatement(const QString& itemCode, const QString& pluCode);

// Deletes, for every item with more than one PLU code, the one code that differs from the item
// code and has the highest number. `processing` is told each item code as its turn comes.
// Returns the number of codes deleted. A failure leaves the function; deletes already done stay.
long removeHighestDuplicatePlu(db::Connection& connection,
                               const std::function<void(const QString& itemCode)>& processing);

} // namespace zobran
