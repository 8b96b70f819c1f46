#include "ui/ListFill.h"

#include "db/ResultSet.h"
#include "db/TimeLimits.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace zobran {

QStringList readListQuery(const QString& sql, db::Connection& connection)
{
    const std::unique_ptr<db::ResultSet> list = db::openStaticResultSet(sql, connection, {}, db::catalogTimeLimit());
    QStringList texts = db::firstFieldTexts(*list);
    list->close();
    return texts;
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
