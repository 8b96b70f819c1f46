#include "import_ui/ScriptFolderPicker.h"

#include "import/OsqlCommandLine.h"
#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "ui/Placement.h"
#include "ui/ReportError.h"

namespace zobran {

namespace {

// The files and the drive follow the folder that is open.
void followFolder(DriveList& drives, const FolderList& folders, FileList& files)
{
    files.setPath(folders.path());
    drives.showVolumeOf(folders.path());
}

} // namespace

ScriptFolderPicker::ScriptFolderPicker(QWidget* frame, const QString& formName, const QString& filePattern,
                                       const ScriptFolderPlaces& places)
{
    drives_ = placeControl<DriveList>(frame, QStringLiteral("Drive1"), places.drives);
    folders_ = placeControl<FolderList>(frame, QStringLiteral("Dir1"), places.folders);
    files_ = new FileList(filePattern, frame);
    files_->setObjectName(QStringLiteral("File1"));
    files_->setGeometry(places.files);

    DriveList* drives = drives_;
    FolderList* folders = folders_;
    FileList* files = files_;
    QObject::connect(drives, &DriveList::driveChanged, folders, [formName, drives, folders] {
        runGuarded(formName, QStringLiteral("Drive1_Change"), [&] { folders->setPath(drives->drive()); });
    });
    QObject::connect(folders, &FolderList::pathChanged, files, [formName, drives, folders, files] {
        runGuarded(formName, QStringLiteral("Dir1_Change"), [&] { followFolder(*drives, *folders, *files); });
    });
}

void ScriptFolderPicker::open(const QString& folder) const
{
    drives_->refresh();
    folders_->setPath(folder);
    followFolder(*drives_, *folders_, *files_);
}

QStringList ScriptFolderPicker::selectedPaths() const
{
    QStringList paths;
    for (const QString& name : files_->selectedFileNames())
        paths << filePathIn(folders_->path(), name);
    return paths;
}

int ScriptFolderPicker::selectedCount() const
{
    return files_->selectedCount();
}

} // namespace zobran
