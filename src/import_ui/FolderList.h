#pragma once

#include <QListWidget>

namespace zobran {

// The folder list of the import windows: the current folder with the folders above it, then its
// sub-folders, indented like a tree. Double-clicking (or Enter on) a folder makes it the current one
// and tells pathChanged, as does setting a new path.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Makes the folder current (cleaned, absolute) and lists it; tells pathChanged when it changed.
    void setPath(const QString& folder);
    // Lists the current folder again.
    void refresh();

signals:
    void pathChanged(const QString& path);

private:
    QString path_;
};

} // namespace zobran
