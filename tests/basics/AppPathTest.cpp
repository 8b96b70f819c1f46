#include "basics/AppPath.h"
#include "basics/Folders.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zobran;

TEST(AppPath, SubPathsJoinWithExactlyOneSeparator)
{
    const test::ProgramFolder restoresAppPath;
    AppPath() = "/opt/zobran";
    EXPECT_EQ(appSubPath("Export").toStdString(), "/opt/zobran/Export");
    AppPath() = "/opt/zobran/";
    EXPECT_EQ(appSubPath("Export").toStdString(), "/opt/zobran/Export");
    AppPath() = "/";
    EXPECT_EQ(appSubPath("LOG").toStdString(), "/LOG");
    AppPath() = "/x";
    EXPECT_EQ(appSubPath("TmExe.bat").toStdString(), "/x/TmExe.bat");
    AppPath() = "/x/";
    EXPECT_EQ(appSubPath("TmExe.bat").toStdString(), "/x/TmExe.bat");
}

TEST(ProgramFolder, IsTheProgramFolderForItsLifeAndThenGivesBackTheOldOne)
{
    AppPath() = "/before";
    QString used;
    {
        test::ProgramFolder home;
        ASSERT_TRUE(home.isValid());
        EXPECT_EQ(AppPath(), home.path());
        EXPECT_TRUE(QDir(AppPath()).exists());
        EXPECT_EQ(home.filePath("LOG/a.Log"), home.path() + "/LOG/a.Log");
        used = home.path();
        AppPath() = "/somewhere/else"; // what a test sets in between
    }
    EXPECT_EQ(AppPath(), "/before");
    EXPECT_FALSE(QDir(used).exists()) << "the folder goes with the object";
    AppPath().clear();
}

TEST(AppPath, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder)
{
    QTemporaryDir folder;
    const QString writable = folder.filePath("build/src");
    const QString readOnly = folder.filePath("readonly/bin");
    ASSERT_TRUE(QDir().mkpath(writable) && QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool root = ::geteuid() == 0; // root may write anywhere

    const struct {
        const char* name;
        QString programFolder;
        QString installFolder;
        bool installed;
    } cases[] = {
        {"a source build", writable, "/usr/bin", false},
        {"run from the folder it is installed into", writable, writable, true},
        {"the same folder written another way", writable, folder.filePath("build/./src/"), true},
        {"a folder the user cannot write", readOnly, "/usr/bin", !root},
        {"no folder at all", folder.filePath("missing"), folder.filePath("missing"), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isInstalledProgramFolder(c.programFolder, c.installFolder), c.installed) << c.name;
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const test::ProgramFolder program;
    AppDataPath() = folder.filePath("data/ZOBRAN");
    EXPECT_EQ(filesFolder(), AppDataPath());
    EXPECT_EQ(appSubPath("TmExe.bat"), folder.filePath("data/ZOBRAN/TmExe.bat"));
    EXPECT_EQ(ensureExportFolder(), folder.filePath("data/ZOBRAN/Export")) << "the data folder is made when missing";
    EXPECT_TRUE(QFileInfo(folder.filePath("data/ZOBRAN/Export")).isDir());
    EXPECT_FALSE(QFileInfo::exists(program.filePath("Export")));
    AppDataPath().clear();
    EXPECT_EQ(appSubPath("TmExe.bat"), program.filePath("TmExe.bat")) << "without a data folder: the program folder";
}
