#pragma once

#include <QListWidget>
#include <QStringList>

namespace zobran {

// The file list of the import windows: the files of one folder whose names match the pattern
// ("*.kx;*.sql") without regard to case, sorted by name; several can be selected.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(const QString& pattern, QWidget* parent = nullptr);

    QString path() const { return path_; }
    QString pattern() const { return patterns_.join(QLatin1Char(';')); }
    // Lists the files of the folder.
    void setPath(const QString& folder);
    void refresh();

    // The selected names, in list order.
    QStringList selectedFileNames() const;
    int selectedCount() const;

private:
    QString path_;
    QStringList patterns_;
};

} // namespace zobran
