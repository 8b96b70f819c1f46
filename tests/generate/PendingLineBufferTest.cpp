#include "generate/PendingLineBuffer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

namespace {

QByteArray written(PendingLineBuffer& lines)
{
    QByteArray out;
    lines.writeAllTo([&](std::string_view b) { out.append(b.data(), static_cast<qsizetype>(b.size())); });
    return out;
}

QByteArray withLineEnds(const std::vector<std::string>& lines)
{
    QByteArray out;
    for (const std::string& line : lines)
        out += QByteArray::fromStdString(line) + "\r\n";
    return out;
}

} // namespace

TEST(PendingLineBuffer, LinesHeldBackInPartsBecomeFilesOneByOneWithoutBeingWrittenAgain)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PendingLineBuffer lines;
    // Three script files' lines, read ahead; the second one's more than the write buffer holds.
    const std::vector<std::size_t> counts = {3, 20000, 2};
    std::vector<std::vector<std::string>> files;
    for (const std::size_t count : counts) {
        files.emplace_back();
        for (std::size_t i = 0; i < count; ++i) {
            files.back().push_back("file " + std::to_string(files.size()) + " line " + std::to_string(i)
                                   + std::string(i % 90, 'x'));
            lines.holdBackLine(files.back().back());
        }
        lines.startNewPart();
    }
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(lines.rowCount(), 0) << "held-back lines are not shown";
    EXPECT_EQ(lines.heldBackLineCount(), 20005u);

    for (std::size_t f = 0; f < files.size(); ++f) {
        lines.releaseHeldBackLines(files[f].size());
        ASSERT_EQ(lines.lineCount(), files[f].size());
        EXPECT_EQ(lines.rowCount(), static_cast<int>(files[f].size()));
        EXPECT_EQ(lines.line(files[f].size() - 1), files[f].back());
        const QString path = folder.filePath(QStringLiteral("%1.SQL").arg(f));
        ASSERT_TRUE(lines.moveToNewFile(path)) << "file " << f << " is its part's temporary file, named";
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), withLineEnds(files[f])) << f;
    }
    EXPECT_EQ(lines.heldBackLineCount(), 0u);
}

TEST(PendingLineBuffer, HoldingBackReleasingWritingAndDroppingKeepEveryLineInOrder)
{
    // Random steps against a plain list: lines pending after a failed write meet the next part's,
    // more parts are asked for than there are files, lines held back are dropped.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::mt19937 random(15);
    const auto pick = [&random](std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random);
    };
    PendingLineBuffer lines;
    std::vector<std::string> pending, held;
    std::size_t made = 0, named = 0, copied = 0;
    for (int step = 0; step < 3000; ++step) {
        const std::size_t what = pick(0, 19);
        if (what < 10) { // rows read ahead, sometimes many, sometimes long
            for (std::size_t n = pick(1, what == 0 ? 5000 : 20); n > 0; --n) {
                held.push_back(std::to_string(made++) + std::string(pick(0, 50) == 0 ? pick(0, 3000) : 5, 'v'));
                lines.holdBackLine(held.back());
            }
        } else if (what < 13) {
            lines.startNewPart();
        } else if (what < 17) {
            const std::size_t count = pick(0, held.size());
            lines.releaseHeldBackLines(count);
            pending.insert(pending.end(), held.begin(), held.begin() + static_cast<std::ptrdiff_t>(count));
            held.erase(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(count));
        } else if (what < 19 && !pending.empty()) { // a file written: named, or copied and cleared
            const QString path = folder.filePath(QStringLiteral("%1.SQL").arg(named + copied));
            if (lines.moveToNewFile(path)) {
                ++named;
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                ASSERT_EQ(file.readAll(), withLineEnds(pending)) << "step " << step;
            } else {
                ++copied;
                ASSERT_EQ(written(lines), withLineEnds(pending)) << "step " << step;
                lines.clear();
            }
            pending.clear();
        } else if (what == 19) {
            lines.dropHeldBackLines();
            held.clear();
        }
        ASSERT_EQ(lines.lineCount(), pending.size()) << "step " << step;
        ASSERT_EQ(lines.heldBackLineCount(), held.size()) << "step " << step;
        if (!pending.empty()) {
            const std::size_t i = pick(0, pending.size() - 1);
            ASSERT_EQ(lines.line(i), pending[i]) << "step " << step;
        }
    }
    ASSERT_EQ(written(lines), withLineEnds(pending));
    EXPECT_GT(made, 100000u) << "more line starts than are kept in memory";
    EXPECT_GT(named, 20u);
    EXPECT_GT(copied, 20u);
}
