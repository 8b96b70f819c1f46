#pragma once

#include <QComboBox>

namespace zobran {

// The drive list of the import windows: the mounted volumes, each shown by its root folder (and
// its name, when it has one). Choosing one tells driveChanged; showing the volume of a folder does
// not.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Reads the mounted volumes again.
    void refresh();
    // The root folder of the chosen volume.
    QString drive() const;
    // Shows the volume that holds the folder (the one with the longest root that contains it).
    void showVolumeOf(const QString& folder);

signals:
    void driveChanged(const QString& root);
};

} // namespace zobran
