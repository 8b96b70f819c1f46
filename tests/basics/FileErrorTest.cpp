#include "basics/FileError.h"
#include "basics/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace zobran;

namespace {

// The file error the step raised (number 0 when it raised none).
FileError failureOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const FileError& e) {
        return e;
    }
    return FileError(0, {}, {});
}

std::string describe(long number, const QString& path, int systemError)
{
    const char* headline = number == 53 ? "File not found" : number == 76 ? "Path not found" : "Path/File access error";
    return std::string(headline) + ": " + path.toStdString() + ": " + systemReason(systemError).toStdString();
}

class FileErrorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QFile file(folder.filePath("plain.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
    }

    QTemporaryDir folder;
};

} // namespace

TEST(FileErrors, SayWhatFailedWhereAndWhyInTheSystemsWords)
{
    const FileError error = pathFileAccessError("/opt/zobran/Export/a.SQL", systemReason(ENOSPC));
    EXPECT_EQ(error.number(), 75);
    EXPECT_EQ(error.description(), "Path/File access error: /opt/zobran/Export/a.SQL: No space left on device");
    EXPECT_EQ(error.path(), "/opt/zobran/Export/a.SQL");
    EXPECT_EQ(error.reason(), "No space left on device");
    EXPECT_EQ(fileNotFoundError("/a", "").description(), "File not found: /a");
    EXPECT_EQ(pathNotFoundError("/a/b", "gone").description(), "Path not found: /a/b: gone");

    EXPECT_EQ(fileErrorFromSystem("/a", ENOENT).number(), 53);
    EXPECT_EQ(fileErrorFromSystem("/a", ENOTDIR).number(), 76);
    for (int systemError : {EACCES, EISDIR, ENOSPC, EFBIG, EROFS, EIO})
        EXPECT_EQ(fileErrorFromSystem("/a", systemError).number(), 75) << systemError;
    EXPECT_EQ(fileErrorFromSystem("/a", EACCES).description().toStdString(), describe(75, "/a", EACCES));

    EXPECT_EQ(systemReason(ENOENT), "No such file or directory");
    EXPECT_EQ(systemReason(ENOSPC), "No space left on device");
    EXPECT_NE(systemReason(0), "Success") << "a failure never reads as a success";
    for (int systemError : {0, ENOENT, ENOTDIR, EISDIR, EACCES, ENOSPC, EFBIG}) {
        EXPECT_FALSE(systemReason(systemError).isEmpty()) << systemError;
        EXPECT_FALSE(systemReason(systemError).contains("Unknown error")) << systemError;
    }
}

TEST_F(FileErrorTest, AMissingFileIs53WithItsPathAndTheReason)
{
    const QString missing = folder.filePath("missing.txt");
    const FileError read = failureOf([&] { TextFileReader reader(missing, LineEnds::CrOrCrLf); });
    EXPECT_EQ(read.number(), 53);
    EXPECT_EQ(read.path(), missing);
    EXPECT_EQ(read.description().toStdString(), describe(53, missing, ENOENT));
    EXPECT_EQ(failureOf([&] { readTextFileLines(missing, LineEnds::CrLfOrLf); }).number(), 53);
}

TEST_F(FileErrorTest, AFolderWhereAFileShouldBeIs75)
{
    const QString sub = folder.filePath("sub");
    const FileError read = failureOf([&] { TextFileReader reader(sub, LineEnds::CrOrCrLf); });
    EXPECT_EQ(read.number(), 75);
    EXPECT_EQ(read.description().toStdString(), describe(75, sub, EISDIR));

    const FileError append = failureOf([&] { FileAppend file(sub); });
    EXPECT_EQ(append.number(), 75);
    EXPECT_EQ(append.description().toStdString(), describe(75, sub, EISDIR));
    EXPECT_EQ(failureOf([&] { appendTextLines(sub, {"x"}); }).number(), 75);

    const FileError remove = failureOf([&] { deleteFileIfExists(sub); });
    EXPECT_EQ(remove.number(), 75);
    EXPECT_EQ(remove.description().toStdString(), describe(75, sub, EISDIR));
    EXPECT_TRUE(QDir(sub).exists());
}

TEST_F(FileErrorTest, AFileOrAMissingFolderOnTheWayIs76ForAppendsAndReads)
{
    const QString throughFile = folder.filePath("plain.txt/inner.txt");
    const FileError append = failureOf([&] { FileAppend file(throughFile); });
    EXPECT_EQ(append.number(), 76);
    EXPECT_EQ(append.description().toStdString(), describe(76, throughFile, ENOTDIR));
    EXPECT_EQ(failureOf([&] { TextFileReader reader(throughFile, LineEnds::CrOrCrLf); }).number(), 76);

    const QString throughMissing = folder.filePath("no/such/folder/a.txt");
    const FileError missingFolder = failureOf([&] { appendTextLines(throughMissing, {"x"}); });
    EXPECT_EQ(missingFolder.number(), 76);
    EXPECT_EQ(missingFolder.description().toStdString(), describe(76, throughMissing, ENOENT));
    EXPECT_FALSE(QDir(folder.filePath("no")).exists());
}

TEST_F(FileErrorTest, DeletingAFileThatIsNotThereIsNoFailure)
{
    const QString path = folder.filePath("plain.txt");
    deleteFileIfExists(path);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(failureOf([&] { deleteFileIfExists(path); }).number(), 0);
    EXPECT_EQ(failureOf([&] { deleteFileIfExists(folder.filePath("no/such/file")); }).number(), 0);
}
