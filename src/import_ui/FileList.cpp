#include "import_ui/FileList.h"

#include <QDir>
#include <QSignalBlocker>

namespace zobran {

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent), patterns_(pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void FileList::setPath(const QString& folder)
{
    path_ = folder;
    refresh();
}

void FileList::refresh()
{
    const QSignalBlocker blocker(this);
    clear();
    if (path_.isEmpty())
        return;
    QDir dir(path_);
    dir.setNameFilters(patterns_);
    // Name filters match without regard to case unless the filter asks for it.
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
}

QStringList FileList::selectedFileNames() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            names << item(i)->text();
    return names;
}

int FileList::selectedCount() const
{
    int selected = 0;
    for (int i = 0; i < count(); ++i)
        selected += item(i)->isSelected() ? 1 : 0;
    return selected;
}

} // namespace zobran
