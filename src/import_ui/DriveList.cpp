#include "import_ui/DriveList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

namespace zobran {

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::activated, this, [this] { emit driveChanged(drive()); });
}

void DriveList::refresh()
{
    const QSignalBlocker blocker(this);
    const QString current = drive();
    clear();
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(),
              [](const QStorageInfo& a, const QStorageInfo& b) { return a.rootPath() < b.rootPath(); });
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.name();
        addItem(name.isEmpty() ? root : root + QStringLiteral("  [") + name + QLatin1Char(']'), root);
    }
    if (findData(QDir::rootPath()) < 0)
        insertItem(0, QDir::rootPath(), QDir::rootPath());
    const int again = findData(current);
    setCurrentIndex(again >= 0 ? again : 0);
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::showVolumeOf(const QString& folder)
{
    const QString path = QDir::cleanPath(folder);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const bool holds = root == QDir::rootPath() || path == root || path.startsWith(root + QLatin1Char('/'));
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(best);
    }
}

} // namespace zobran
