#pragma once

#include <QString>
#include <QStringList>

class QListWidget;

namespace zobran {

namespace db {
class Connection;
}

// A list query, run the way the windows fill their lists (also on a run's thread): a short-lived
// result set reads it on the connection within the catalog time limit, the first field of every row
// is taken in the order returned, and the result set is closed and released. Failures raise.
QStringList readListQuery(const QString& sql, db::Connection& connection);

// Replaces the entries of a list box, without telling the window of a current-row change.
void fillListBox(QListWidget& list, const QStringList& entries);

// Both: the list box shows the first field of every row of the query.
void fillListFromQuery(QListWidget& list, const QString& sql, db::Connection& connection);

} // namespace zobran
