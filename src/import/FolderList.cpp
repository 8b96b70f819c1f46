#include "import/FolderList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStyle>

namespace zobran {

namespace {

constexpr int PathRole = Qt::UserRole;

QString indent(int level)
{
    return QString(2 * level, QLatin1Char(' '));
}

// The current folder and every folder above it, the root first.
QStringList foldersDownTo(const QString& path)
{
    QStringList folders;
    QDir dir(path);
    for (;;) {
        folders.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    return folders;
}

QString shownName(const QString& folder)
{
    const QString name = QDir(folder).dirName();
    return name.isEmpty() || QDir(folder).isRoot() ? folder : name;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(PathRole).toString()); });
}

void FolderList::setPath(const QString& folder)
{
    const QString cleaned = QDir::cleanPath(QDir(folder).absolutePath());
    const bool changed = cleaned != path_;
    path_ = cleaned;
    refresh();
    if (changed)
        emit pathChanged(path_);
}

void FolderList::refresh()
{
    const QSignalBlocker blocker(this);
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    const QStringList above = foldersDownTo(path_);
    int level = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& folder : above) {
        current = new QListWidgetItem(open, indent(level++) + shownName(folder), this);
        current->setData(PathRole, folder);
    }
    const QDir dir(path_);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(closed, indent(level) + name, this);
        item->setData(PathRole, dir.filePath(name));
    }
    setCurrentItem(current);
    if (current)
        scrollToItem(current, QAbstractItemView::PositionAtTop);
}

} // namespace zobran
