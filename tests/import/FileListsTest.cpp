#include "ImportTestSupport.h"

#include "import_ui/DriveList.h"
#include "import_ui/FileList.h"
#include "import_ui/FolderList.h"
#include "import_ui/ScriptFolderPicker.h"

#include <QSignalSpy>
#include <QStorageInfo>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::test;

namespace {

QStringList texts(const QListWidget& list)
{
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
        result << list.item(i)->text();
    return result;
}

class FileListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir root(dir.path());
        for (const char* folder : {"Beta", "alpha", "gamma", ".hidden"})
            root.mkdir(folder);
        for (const char* file : {"b.KX", "a.sql", "C.Sql", "d.kxx", "e.txt", "f.kx", "alpha.sql.bak"})
            writeBytes(root.filePath(file), "");
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FileListsTest, FilesMatchThePatternWithoutRegardToCaseSortedByName)
{
    FileList files("*.kx;*.sql");
    files.setPath(dir.path());
    EXPECT_EQ(texts(files), QStringList({"a.sql", "b.KX", "C.Sql", "f.kx"}));
    writeBytes(dir.filePath("A0.SQL"), "");
    files.refresh();
    EXPECT_EQ(texts(files), QStringList({"a.sql", "A0.SQL", "b.KX", "C.Sql", "f.kx"}));
}

TEST_F(FileListsTest, SeveralFilesCanBeSelectedAndComeInListOrder)
{
    FileList files("*.sql;*.kx");
    files.setPath(dir.path());
    EXPECT_EQ(files.selectionMode(), QAbstractItemView::ExtendedSelection);
    files.item(3)->setSelected(true);
    files.item(0)->setSelected(true);
    EXPECT_EQ(files.selectedFileNames(), QStringList({"a.sql", "f.kx"}));
    EXPECT_EQ(files.selectedCount(), 2);
    files.setPath(dir.filePath("alpha"));
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(files.selectedCount(), 0);
}

TEST_F(FileListsTest, FoldersShowTheWayDownAndTheSubFoldersAndFollowADoubleClick)
{
    FolderList folders;
    QSignalSpy changed(&folders, &FolderList::pathChanged);
    folders.setPath(dir.path() + "/alpha/..");
    EXPECT_EQ(folders.path(), dir.path());
    ASSERT_EQ(changed.count(), 1);

    const QStringList shown = texts(folders);
    const int depth = int(dir.path().count('/'));
    ASSERT_EQ(shown.size(), depth + 1 + 3);
    EXPECT_EQ(shown.first(), "/");
    EXPECT_EQ(shown[depth].trimmed(), QDir(dir.path()).dirName());
    EXPECT_EQ(folders.currentRow(), depth) << "the current folder is the one marked";
    QStringList subFolders = shown.mid(depth + 1);
    for (QString& name : subFolders)
        name = name.trimmed();
    EXPECT_EQ(subFolders, QStringList({"alpha", "Beta", "gamma"}));

    emit folders.itemActivated(folders.item(depth + 2));
    EXPECT_EQ(folders.path(), dir.filePath("Beta"));
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.last().first().toString(), dir.filePath("Beta"));
    emit folders.itemActivated(folders.item(0));
    EXPECT_EQ(folders.path(), "/");

    // Setting the folder it shows already tells nothing.
    folders.setPath("/");
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(FileListsTest, DrivesAreTheMountedVolumesAndFollowTheFolder)
{
    DriveList drives;
    ASSERT_GT(drives.count(), 0);
    EXPECT_GE(drives.findData(QDir::rootPath()), 0);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            EXPECT_GE(drives.findData(volume.rootPath()), 0) << volume.rootPath().toStdString();
        }
    }

    QSignalSpy changed(&drives, &DriveList::driveChanged);
    drives.showVolumeOf(dir.path());
    EXPECT_EQ(drives.drive(), QStorageInfo(dir.path()).rootPath());
    EXPECT_EQ(changed.count(), 0) << "following the folder is not a change of drive";
    const int root = drives.findData(QDir::rootPath());
    emit drives.activated(root);
    ASSERT_EQ(changed.count(), 1);
}

TEST_F(FileListsTest, ThePickerKeepsDriveFolderAndFilesInStep)
{
    QWidget frame;
    const ScriptFolderPicker picker(&frame, "FORM", "*.sql;*.kx",
                                    {QRect(0, 0, 100, 20), QRect(0, 30, 100, 200), QRect(110, 0, 100, 230)});
    for (const char* name : {"Drive1", "Dir1", "File1"})
        EXPECT_NE(frame.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(picker.files()->pattern(), "*.sql;*.kx");

    // Opened on a folder: its files, its drive.
    picker.open(dir.path());
    EXPECT_EQ(picker.folders()->path(), dir.path());
    EXPECT_EQ(texts(*picker.files()), QStringList({"a.sql", "b.KX", "C.Sql", "f.kx"}));
    EXPECT_EQ(picker.drives()->drive(), QStorageInfo(dir.path()).rootPath());

    picker.files()->item(2)->setSelected(true);
    picker.files()->item(0)->setSelected(true);
    EXPECT_EQ(picker.selectedPaths(), QStringList({dir.filePath("a.sql"), dir.filePath("C.Sql")}));
    EXPECT_EQ(picker.selectedCount(), 2);

    // The user opens a sub-folder: the files follow and the selection goes.
    writeBytes(dir.filePath("Beta/z.sql"), "");
    emit picker.folders()->itemActivated(picker.folders()->findItems("Beta", Qt::MatchEndsWith).first());
    EXPECT_EQ(picker.files()->path(), dir.filePath("Beta"));
    EXPECT_EQ(texts(*picker.files()), QStringList{"z.sql"});
    EXPECT_EQ(picker.selectedCount(), 0);

    // The user chooses a drive: its root folder opens.
    const int root = picker.drives()->findData(QDir::rootPath());
    ASSERT_GE(root, 0);
    picker.drives()->setCurrentIndex(root);
    emit picker.drives()->activated(root);
    EXPECT_EQ(picker.folders()->path(), QDir::rootPath());
    EXPECT_EQ(picker.files()->path(), QDir::rootPath());
}
