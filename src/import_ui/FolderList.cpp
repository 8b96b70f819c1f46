#include "import_ui/FolderList.h"

#include <QDir>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>

namespace zobran {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int IndentPixels = 12;

// Draws each folder indented by its level, icon and all, as a tree would.
class IndentingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(IndentPixels * index.data(LevelRole).toInt(), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(IndentPixels * index.data(LevelRole).toInt(), 0);
    }
};

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
    setItemDelegate(new IndentingDelegate(this));
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
        current = new QListWidgetItem(open, shownName(folder), this);
        current->setData(PathRole, folder);
        current->setData(LevelRole, level++);
    }
    const QDir dir(path_);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(closed, name, this);
        item->setData(PathRole, dir.filePath(name));
        item->setData(LevelRole, level);
    }
    setCurrentItem(current);
    scrollToTop();
    if (current)
        scrollToItem(current);
}

} // namespace zobran
