#include "generate/PendingLineBuffer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zobran;

TEST(PendingLineBuffer, KeepsLinesInOrderAndWritesThemWithCrLf)
{
    PendingLineBuffer lines;
    lines.appendLine("<INSERT INTO t (a) VALUES('€')>");
    lines.appendLine("");
    lines.appendLine("second\nwith lf");
    ASSERT_EQ(lines.lineCount(), 3u);
    EXPECT_EQ(lines.line(0), "<INSERT INTO t (a) VALUES('€')>");
    EXPECT_EQ(lines.line(1), "");
    EXPECT_EQ(lines.line(2), "second\nwith lf");

    QByteArray out;
    lines.writeAllTo([&](std::string_view b) { out.append(b.data(), static_cast<qsizetype>(b.size())); });
    EXPECT_EQ(out, QByteArray("<INSERT INTO t (a) VALUES('\xE2\x82\xAC')>\r\n\r\nsecond\nwith lf\r\n"));
    EXPECT_EQ(lines.lineCount(), 3u) << "writing does not clear";

    lines.clear();
    EXPECT_TRUE(lines.isEmpty());
    lines.appendLine("after clear");
    EXPECT_EQ(lines.line(0), "after clear");
}

TEST(PendingLineBuffer, ManyLinesGoThroughTheTemporaryFileAndComeBackExactly)
{
    PendingLineBuffer lines;
    const auto lineText = [](std::size_t i) { return "line " + std::to_string(i) + std::string(i % 300, 'x') + "é"; };
    // Several megabytes, more than the write buffer holds, and more line starts than are kept in memory.
    const std::size_t count = 70000;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string text = lineText(i);
        bytes += text.size() + 2;
        lines.appendLine(text);
    }
    ASSERT_EQ(lines.lineCount(), count);
    for (std::size_t i : {std::size_t{0}, std::size_t{1}, std::size_t{4321}, std::size_t{65535}, std::size_t{65536},
                          count / 2, count - 2, count - 1})
        EXPECT_EQ(lines.line(i), lineText(i)) << i;

    QByteArray out;
    lines.writeAllTo([&](std::string_view b) { out.append(b.data(), static_cast<qsizetype>(b.size())); });
    ASSERT_EQ(static_cast<std::size_t>(out.size()), bytes);
    const QList<QByteArray> written = out.split('\n');
    EXPECT_EQ(written[12345], QByteArray::fromStdString(lineText(12345) + "\r"));

    // Cleared and filled again, the old content does not come back.
    lines.clear();
    lines.appendLine("fresh");
    QByteArray again;
    lines.writeAllTo([&](std::string_view b) { again.append(b.data(), static_cast<qsizetype>(b.size())); });
    EXPECT_EQ(again, QByteArray("fresh\r\n"));
}

TEST(PendingLineBuffer, ViewsHearOfLinesInBatches)
{
    PendingLineBuffer lines;
    QSignalSpy inserted(&lines, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&lines, &QAbstractItemModel::modelReset);

    for (int i = 0; i < 20000; ++i)
        lines.appendLine(std::string(200, 'a'));
    EXPECT_GT(inserted.count(), 0);
    EXPECT_LT(inserted.count(), 20) << "no signal per line";
    lines.publishAppendedLines();
    EXPECT_EQ(lines.rowCount(), 20000);
    EXPECT_EQ(lines.data(lines.index(19999)).toString(), QString(200, QLatin1Char('a')));

    lines.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(lines.rowCount(), 0);
}

TEST(PendingLineBuffer, BecomesANewFileWithoutBeingWrittenAgainButNeverReplacesOne)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PendingLineBuffer lines;
    for (int i = 0; i < 50000; ++i)
        lines.appendLine("INSERT INTO t (a) VALUES(" + std::to_string(i) + ")");
    QByteArray expected;
    lines.writeAllTo([&](std::string_view b) { expected.append(b.data(), static_cast<qsizetype>(b.size())); });

    const QString existing = folder.filePath("existing.SQL");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kept\r\n");
    }
    EXPECT_FALSE(lines.moveToNewFile(existing));
    EXPECT_EQ(lines.lineCount(), 50000u) << "nothing changed";
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("kept\r\n"));

    const QString fresh = folder.filePath("fresh.SQL");
    ASSERT_TRUE(lines.moveToNewFile(fresh));
    EXPECT_TRUE(lines.isEmpty());
    QFile moved(fresh);
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), expected);
    EXPECT_TRUE(moved.permissions() & QFileDevice::ReadOther) << "readable as a file written anew would be";

    // The buffer goes on with a file of its own.
    lines.appendLine("next");
    EXPECT_EQ(lines.line(0), "next");
    ASSERT_TRUE(lines.moveToNewFile(folder.filePath("next.SQL")));
    QFile next(folder.filePath("next.SQL"));
    ASSERT_TRUE(next.open(QIODevice::ReadOnly));
    EXPECT_EQ(next.readAll(), QByteArray("next\r\n"));
}
