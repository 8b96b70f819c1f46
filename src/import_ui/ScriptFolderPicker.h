#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace zobran {

class DriveList;
class FileList;
class FolderList;

// Where the three lists of a picker stand on their frame, in pixels.
struct ScriptFolderPlaces {
    QRect drives;
    QRect folders;
    QRect files;
};

// The script-folder picker of the import windows: a drive list ("Drive1"), a folder list ("Dir1")
// and a file list ("File1") on one frame, kept in step. Choosing a drive opens its root folder;
// opening a folder lists its files and shows its drive. A failure while they follow each other is
// reported under the window's Drive1_Change or Dir1_Change.
class ScriptFolderPicker {
public:
    ScriptFolderPicker() = default;
    // Places the lists on the frame; filePattern as FileList takes it ("*.kx;*.sql").
    ScriptFolderPicker(QWidget* frame, const QString& formName, const QString& filePattern,
                       const ScriptFolderPlaces& places);

    DriveList* drives() const { return drives_; }
    FolderList* folders() const { return folders_; }
    FileList* files() const { return files_; }

    // Reads the mounted volumes again and opens the folder, as a window does when it loads.
    void open(const QString& folder) const;

    // The paths of the selected files, in list order.
    QStringList selectedPaths() const;
    int selectedCount() const;

private:
    DriveList* drives_ = nullptr;
    FolderList* folders_ = nullptr;
    FileList* files_ = nullptr;
};

} // namespace zobran
