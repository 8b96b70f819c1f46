#include "ImportTestSupport.h"

#include "basics/FileError.h"
#include "import/KxFileImport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::test;

namespace {

struct ReadBack {
    QStringList statements;
    std::vector<long> lines;
    QStringList strays; // kind:text@line
};

ReadBack readBack(const QString& path)
{
    ReadBack result;
    KxFileReadHandlers handlers;
    handlers.statement = [&](const QString& statement, long line) {
        result.statements << statement;
        result.lines.push_back(line);
    };
    handlers.stray = [&](KxStray kind, const QString& text, long line) {
        const char* kinds[] = {"unended", "replaced", "outside"};
        result.strays << kinds[int(kind)] + (':' + text) + '@' + QString::number(line);
    };
    readKxFile(path, handlers);
    return result;
}

class KxFileReadTest : public ::testing::Test {
protected:
    QString file(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString("f%1.kx").arg(++files));
        writeBytes(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    int files = 0;
};

} // namespace

TEST_F(KxFileReadTest, LinesEndAtCrOrCrLfAndALoneLfStaysInTheValue)
{
    const ReadBack crlf = readBack(file("<INSERT INTO t VALUES('a')>\r\n<INSERT INTO t VALUES('b\nc')>\r\n"));
    EXPECT_EQ(crlf.statements, QStringList({"INSERT INTO t VALUES('a')", "INSERT INTO t VALUES('b\nc')"}));
    const ReadBack cr = readBack(file("<INSERT INTO t VALUES('a')>\r<INSERT INTO t\rVALUES('b\n')>"));
    EXPECT_EQ(cr.statements, QStringList({"INSERT INTO t VALUES('a')", "INSERT INTO tVALUES('b\n')"}));
    EXPECT_EQ(cr.lines, (std::vector<long>{1, 2}));
}

TEST_F(KxFileReadTest, Utf8AndWindows1252FilesReadAlike)
{
    const QString expected = "INSERT INTO t VALUES('é€ü')";
    EXPECT_EQ(readBack(file("<INSERT INTO t VALUES('\xC3\xA9\xE2\x82\xAC\xC3\xBC')>\r\n")).statements,
              QStringList{expected});
    EXPECT_EQ(readBack(file("<INSERT INTO t VALUES('\xE9\x80\xFC')>\r\n")).statements, QStringList{expected});
    // A byte-order mark is not part of the first statement.
    EXPECT_EQ(readBack(file("\xEF\xBB\xBF<INSERT INTO t VALUES('\xC3\xA9\xE2\x82\xAC\xC3\xBC')>\r\n")).statements,
              QStringList{expected});
}

TEST_F(KxFileReadTest, ALongStatementOverThreeLinesComesBackWhole)
{
    // 2500 characters of non-ASCII text; the second and third line begin with blanks.
    QString value;
    while (value.size() < 2476)
        value += "ab é'' ";
    QString statement = "INSERT INTO t VALUES('" + value.left(2476) + "')";
    ASSERT_EQ(statement.size(), 2500);
    statement[1000] = statement[1001] = statement[2000] = ' ';
    const QString first = "<" + statement.left(1000), middle = statement.mid(1000, 1000),
                  last = statement.mid(2000) + ">";
    const ReadBack read = readBack(file((first + "\r\n" + middle + "\r\n" + last + "\r\n").toUtf8()));
    ASSERT_EQ(read.statements.size(), 1);
    EXPECT_EQ(read.statements[0], statement);
    EXPECT_EQ(read.lines, std::vector<long>{1});
}

TEST_F(KxFileReadTest, TextThatIsNoStatementIsHandedOutWithTheLineWhereItBegins)
{
    const ReadBack read = readBack(file("<a>\r\n\r\n<INSERT INTO t\r\nVALUES(1)\r\n"));
    EXPECT_EQ(read.statements, QStringList{"a"});
    EXPECT_EQ(read.strays, QStringList{"unended:INSERT INTO tVALUES(1)@3"});

    // A statement without its ">", lines outside any statement (blank ones do not count), and a
    // line ending with ">" that closes nothing: none of it is a statement.
    const ReadBack stray = readBack(file("-- a note\r\n<one\r\n  two\r\n<three>\r\n   \r\nfour>\r\n<five>"));
    EXPECT_EQ(stray.statements, QStringList({"three", "five"}));
    EXPECT_EQ(stray.lines, (std::vector<long>{4, 7}));
    EXPECT_EQ(stray.strays, QStringList({"outside:-- a note@1", "replaced:one  two@2", "outside:four>@6"}));
}

TEST_F(KxFileReadTest, AMissingFileRaisesFileNotFound)
{
    try {
        readBack(dir.filePath("missing.kx"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}
