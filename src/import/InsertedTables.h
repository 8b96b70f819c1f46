#pragma once

#include <QString>
#include <QStringList>

namespace zobran {

// The tables the INSERT statements of script files insert into, as the statements name them
// (plain, [bracketed] or "quoted" names, with their schema and database parts), in the order first
// met. A file that cannot be read names none.
QStringList insertedTables(const QStringList& paths);

// The table a line's INSERT statement names; empty when the line does not begin one.
QString insertedTableOf(const QString& line);

// "SELECT COUNT(*) FROM " and the name as the statements wrote it.
QString rowCountQuery(const QString& table);

} // namespace zobran
