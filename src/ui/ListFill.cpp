#include "ui/ListFill.h"

#include "db/CatalogQueries.h"
#include "db/ResultSet.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace zobran {

QStringList readListQuery(const QString& sql, db::Connection& connection)
{
    return db::readCatalogList(sql, connection);
}

void fillListBox(QListWidget& list, const QStringList& entries)
{
    const QSignalBlocker blocker(&list);
    list.clear();
    list.addItems(entries);
    list.setCurrentRow(-1);
}

void fillListFromQuery(QListWidget& list, const QString& sql, db::Connection& connection)
{
    fillListBox(list, readListQuery(sql, connection));
}

} // namespace zobran
