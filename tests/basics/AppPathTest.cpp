#include "basics/AppPath.h"
#include "support/ProgramFolder.h"

#include <QDir>

#include <gtest/gtest.h>

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
