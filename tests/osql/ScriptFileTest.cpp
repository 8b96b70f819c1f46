#include "QStringPrinting.h"

#include "osql/ScriptFile.h"

#include "basics/FileError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::osql;

namespace {

class ScriptFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("script %1.sql").arg(++count_));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray readAll(ScriptFile& file)
    {
        QByteArray all;
        char chunk[4096];
        while (const std::size_t n = file.read(chunk, sizeof chunk))
            all.append(chunk, static_cast<qsizetype>(n));
        return all;
    }

    QTemporaryDir dir_;
    int count_ = 0;
};

TEST_F(ScriptFileTest, Utf8WithOrWithoutByteOrderMarkAndUtf16AreReadAsUtf8)
{
    ScriptFile plain(write("INSERT INTO t VALUES (N'Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC')"));
    EXPECT_TRUE(plain.isUtf8());
    EXPECT_EQ(plain.decode(readAll(plain)), QStringLiteral(u"INSERT INTO t VALUES (N'Grüß€')"));

    ScriptFile marked(write("\xEF\xBB\xBFSELECT 1"));
    EXPECT_TRUE(marked.isUtf8());
    EXPECT_EQ(readAll(marked), QByteArray("SELECT 1"));
    marked.seek(7);
    EXPECT_EQ(readAll(marked), QByteArray("1")) << "offsets count from the text, after the mark";

    // UTF-16 with its byte-order mark, either byte order, handed on as UTF-8 bytes.
    const QString text = QStringLiteral(u"SELECT N'Grüß€ 😀'\r\nGO\r\n");
    QByteArray little("\xFF\xFE"), big("\xFE\xFF");
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        little.append(char(unit & 0xFF)).append(char(unit >> 8));
        big.append(char(unit >> 8)).append(char(unit & 0xFF));
    }
    for (const QByteArray& bytes : {little, big}) {
        ScriptFile utf16(write(bytes));
        EXPECT_TRUE(utf16.isUtf8());
        EXPECT_EQ(readAll(utf16), text.toUtf8());
        utf16.seek(9);
        EXPECT_EQ(utf16.decode(readAll(utf16)), text.mid(9));
    }
}

TEST_F(ScriptFileTest, NotUtf8IsReadAsWindows1252)
{
    ScriptFile file(write("INSERT INTO t VALUES ('Caf\xE9 \x80 \x93ok\x94')"));
    EXPECT_FALSE(file.isUtf8());
    EXPECT_EQ(file.decode(readAll(file)), QStringLiteral(u"INSERT INTO t VALUES ('Café € “ok”')"));
}

TEST_F(ScriptFileTest, Utf8CheckLooksAcrossItsChunks)
{
    // The check reads a megabyte at a time: a character cut by that boundary is still UTF-8, an
    // unfinished one at the very end is not.
    QByteArray bytes((1 << 20) - 1, 'a');
    EXPECT_TRUE(ScriptFile(write(bytes + "\xC3\xA9")).isUtf8());
    EXPECT_TRUE(ScriptFile(write(bytes.left((1 << 20) - 2) + "\xE2\x82\xAC")).isUtf8());
    EXPECT_FALSE(ScriptFile(write(bytes + "\xC3")).isUtf8());
    EXPECT_FALSE(ScriptFile(write(bytes + "\xC3\x28")).isUtf8());
    // Valid UTF-8 in one chunk, a stray byte in the next: refused.
    EXPECT_THROW(ScriptFile(write("caf\xC3\xA9\n" + bytes + "\x92")), FileError);
}

TEST_F(ScriptFileTest, MissingFileIsError53)
{
    try {
        ScriptFile file(dir_.filePath(QStringLiteral("no such.sql")));
        FAIL() << "a missing file opened";
    } catch (const FileError& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
        EXPECT_TRUE(e.description().contains(QStringLiteral("no such.sql")));
    }
}

} // namespace
