#include "basics/TextFile.h"

#include "basics/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zobran;

namespace {

// The size of the pieces the reader takes from a file.
constexpr qsizetype OneMiB = qsizetype{1} << 20;

std::string text(const QStringList& lines)
{
    QStringList shown;
    for (QString line : lines)
        shown << '"' + line.replace('\r', "\\r").replace('\n', "\\n") + '"';
    return shown.join(", ").toStdString();
}

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString fileWith(const QByteArray& bytes, const QString& name = QStringLiteral("in.txt"))
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    QStringList linesOf(const QByteArray& bytes, LineEnds ends) { return readTextFileLines(fileWith(bytes), ends); }

    static QByteArray contentOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir folder;
};

// ---- decoding ----

TEST(TextDecoding, Windows1252GivesItsOwnCharactersAt0x80To0x9FAndLatin1Above)
{
    EXPECT_EQ(fromWindows1252("\x80\x82\x85\x8A\x91\x92\x93\x94\x96\x97\x99\x9C\x9F"),
              QString::fromUtf8("€‚…Š‘’“”–—™œŸ"));
    // The five bytes Windows-1252 leaves unassigned stay the control characters of the same number.
    EXPECT_EQ(fromWindows1252("\x81\x8D\x8F\x90\x9D"), QString::fromUcs4(U"\u0081\u008D\u008F\u0090\u009D"));
    EXPECT_EQ(fromWindows1252("Caf\xE9 \xA0\xFF"), QString::fromUtf8("Café \u00A0ÿ"));

    QByteArray all;
    for (int c = 0x80; c <= 0x9F; ++c)
        all.append(char(c));
    const QString decoded = fromWindows1252(all);
    ASSERT_EQ(decoded.size(), 32);
    EXPECT_EQ(decoded.count(QChar::ReplacementCharacter), 0);
}

TEST(TextDecoding, OnlyWellFormedUtf8IsUtf8)
{
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"));
    EXPECT_TRUE(isValidUtf8(""));
    for (const char* bad : {"Caf\xE9", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF5\x80\x80\x80", "\xE2\x82", "\x80", "\xC3\xA9\xA9"})
        EXPECT_FALSE(isValidUtf8(bad)) << QByteArray(bad).toHex().toStdString();
}

TEST(TextDecoding, AFileIsReadByItsMarkOrItsBytesAndUtf8WithAStrayByteIsRefused)
{
    const struct {
        const char* what;
        QByteArray bytes;
        QString text;    // when read
        QString refusal; // else the end of the error's description
    } cases[] = {
        {"UTF-8", "Caf\xC3\xA9", "Café", {}},
        {"UTF-8 after its mark",
         "\xEF\xBB\xBF"
         "Caf\xC3\xA9",
         "Café",
         {}},
        {"empty", "", "", {}},
        {"Windows-1252", "Caf\xE9 \x80\r\n\x93ok\x94", "Café €\r\n“ok”", {}},
        {"Windows-1252 ending in a UTF-8 lead byte", "ab\xC3", "abÃ", {}},
        {"UTF-16 little-endian",
         QByteArray("\xFF\xFE"
                    "C\0a\0f\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE",
                    18),
         "Café\r\n😀",
         {}},
        {"UTF-16 big-endian", QByteArray("\xFE\xFF\0C\0a\0f\0\xE9\x20\xAC", 12), "Café€", {}},
        {"UTF-8 with a stray byte",
         "Caf\xC3\xA9\r\nit\x92s",
         {},
         "line 2 holds a byte that is not (0x92 at byte offset 9); the file is refused whole"},
        {"a stray byte before the UTF-8",
         "\x92\n\nCaf\xC3\xA9",
         {},
         "line 1 holds a byte that is not (0x92 at byte offset 0)"},
        {"a UTF-8 sequence cut short",
         "\xC3\xA9\r\rx\xE2\x82y",
         {},
         "line 3 holds a byte that is not (0xE2 at byte offset 5)"},
        {"a stray byte after a UTF-8 mark",
         "\xEF\xBB\xBF"
         "a\x92",
         {},
         "(0x92 at byte offset 4); the file is refused whole"},
        {"UTF-16 with an odd byte at the end",
         QByteArray("\xFF\xFE"
                    "a\0\n\0b",
                    7),
         {},
         "breaks off inside a character on line 2 (at byte offset 6); the file is refused whole"},
        {"UTF-16 with half a surrogate pair",
         QByteArray("\xFF\xFE"
                    "a\0\x3D\xD8"
                    "b\0",
                    8),
         {},
         "breaks off inside a character on line 1 (at byte offset 4)"},
        {"UTF-16 with a lone low surrogate", QByteArray("\xFE\xFF\xDE\0", 4), {}, "on line 1 (at byte offset 2)"},
    };
    for (const auto& c : cases) {
        try {
            EXPECT_EQ(decodeFileText(c.bytes, "/x/s.sql"), c.text) << c.what;
            EXPECT_TRUE(c.refusal.isEmpty()) << c.what << ": read, not refused";
        } catch (const FileError& e) {
            EXPECT_EQ(e.number(), 75) << c.what;
            EXPECT_TRUE(e.description().startsWith("Path/File access error: /x/s.sql: ")) << c.what;
            EXPECT_TRUE(!c.refusal.isEmpty() && e.description().contains(c.refusal))
                << c.what << ": " << e.description().toStdString();
        }
    }
}

TEST_F(TextFileTest, ReaderDecidesTheEncodingFromTheWholeFile)
{
    // A UTF-8 character cut by the end of the first piece read still counts as UTF-8.
    QByteArray utf8(OneMiB - 1, 'a');
    utf8 += "\xC3\xA9\r\nCaf\xC3\xA9\r\n";
    {
        TextFileReader reader(fileWith(utf8), LineEnds::CrOrCrLf);
        EXPECT_TRUE(reader.isUtf8());
        QString line;
        ASSERT_TRUE(reader.readLine(line));
        EXPECT_EQ(line, QString(OneMiB - 1, 'a') + QString::fromUtf8("é"));
        ASSERT_TRUE(reader.readLine(line));
        EXPECT_EQ(line, QString::fromUtf8("Café"));
        EXPECT_FALSE(reader.readLine(line));
        EXPECT_EQ(reader.bytesRead(), reader.fileSize());
        EXPECT_EQ(reader.fileSize(), std::size_t(utf8.size()));
    }

    // One byte that is not UTF-8 far behind the first piece refuses the whole file, before any
    // line is read; its line is counted as the reader counts lines (a lone LF is no line end).
    const QByteArray mixed = "Caf\xC3\xA9\r\n" + QByteArray(OneMiB + 100, 'b') + "\n\r\nit\x92s\r\n";
    try {
        TextFileReader reader(fileWith(mixed, "mixed.txt"), LineEnds::CrOrCrLf);
        FAIL() << "read";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("line 3 holds a byte that is not (0x92 at byte offset %1); "
                                                            "the file is refused whole")
                                                 .arg(mixed.indexOf('\x92'))))
            << e.description().toStdString();
    }

    // A UTF-16 file is read as such, a character cut by the end of the first piece too.
    QString text = QString(OneMiB / 2 - 2, 'a') + QStringLiteral(u"😀\r\nCafé\r\n");
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : text)
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    TextFileReader reader(fileWith(utf16, "utf16.txt"), LineEnds::CrOrCrLf);
    EXPECT_EQ(reader.encoding(), TextEncoding::Utf16LittleEndian);
    QString line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, text.left(OneMiB / 2));
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, QStringLiteral(u"Café"));
    EXPECT_FALSE(reader.readLine(line));
}

TEST_F(TextFileTest, AByteOrderMarkIsNotPartOfTheFirstLine)
{
    EXPECT_EQ(linesOf("\xEF\xBB\xBF"
                      "first\r\nsecond",
                      LineEnds::CrOrCrLf),
              QStringList({"first", "second"}));
    EXPECT_EQ(linesOf("\xEF\xBB\xBF"
                      "first\nsecond\n",
                      LineEnds::CrLfOrLf),
              QStringList({"first", "second"}));
    EXPECT_EQ(linesOf("\xEF\xBB\xBF", LineEnds::CrOrCrLf), QStringList());
}

// ---- line ends ----

TEST_F(TextFileTest, CrOrCrLfEndsLinesAtCrAndKeepsALoneLineFeedInTheLine)
{
    const QStringList lines = linesOf("a\rb\r\nc\nd\r\n\r\ne\n\rf", LineEnds::CrOrCrLf);
    EXPECT_EQ(lines, QStringList({"a", "b", "c\nd", "", "e\n", "f"})) << text(lines);
    // The script runner's lines end at either, a CR LF pair taken together.
    const QStringList any = linesOf("a\rb\r\nc\nd\r\n\r\ne\n\rf", LineEnds::Any);
    EXPECT_EQ(any, QStringList({"a", "b", "c", "d", "", "e", "", "f"})) << text(any);
}

TEST_F(TextFileTest, CrLfOrLfEndsLinesAtLineFeedAndKeepsALoneCrInTheLine)
{
    const QStringList lines = linesOf("a\r\nb\nc\rd\n\n\r\ne\r\r\nf\r", LineEnds::CrLfOrLf);
    EXPECT_EQ(lines, QStringList({"a", "b", "c\rd", "", "", "e\r", "f\r"})) << text(lines);
}

TEST_F(TextFileTest, TheLastLineCountsWithOrWithoutItsLineEndAndAnEmptyFileHasNone)
{
    for (LineEnds ends : {LineEnds::CrOrCrLf, LineEnds::CrLfOrLf}) {
        const int mode = static_cast<int>(ends);
        EXPECT_EQ(linesOf("one\r\ntwo", ends), QStringList({"one", "two"})) << mode;
        EXPECT_EQ(linesOf("one\r\ntwo\r\n", ends), QStringList({"one", "two"})) << mode;
        EXPECT_EQ(linesOf("\r\n", ends), QStringList({""})) << mode;
        EXPECT_EQ(linesOf("\r\n\r\n", ends), QStringList({"", ""})) << mode;
        EXPECT_EQ(linesOf("", ends), QStringList()) << mode;
    }
    EXPECT_EQ(linesOf("one\rtwo\r", LineEnds::CrOrCrLf), QStringList({"one", "two"}));
    EXPECT_EQ(linesOf("one\ntwo\n", LineEnds::CrLfOrLf), QStringList({"one", "two"}));
}

TEST_F(TextFileTest, ACrLfCutByTheEndOfAPieceIsOneLineEnd)
{
    const QString longLine(OneMiB - 1, 'x');
    const QByteArray split = longLine.toLatin1() + "\r\nnext\r\nlast";
    for (LineEnds ends : {LineEnds::CrOrCrLf, LineEnds::CrLfOrLf}) {
        const QStringList lines = linesOf(split, ends);
        ASSERT_EQ(lines.size(), 3) << static_cast<int>(ends);
        EXPECT_EQ(lines[0], longLine) << static_cast<int>(ends);
        EXPECT_EQ(lines[1], "next");
        EXPECT_EQ(lines[2], "last");
    }
    // The same in a Windows-1252 file, whose first piece is read by the first line's call.
    const QByteArray windows = "\xE9" + QByteArray(OneMiB - 2, 'x') + "\r\nnext\r\n";
    EXPECT_EQ(linesOf(windows, LineEnds::CrOrCrLf),
              QStringList({QString::fromUtf8("é") + QString(OneMiB - 2, 'x'), "next"}));
    EXPECT_EQ(linesOf(windows, LineEnds::CrLfOrLf),
              QStringList({QString::fromUtf8("é") + QString(OneMiB - 2, 'x'), "next"}));

    // A lone CR at the end of a piece: a line end in one mode, part of the line in the other.
    const QByteArray lone = longLine.toLatin1() + "\rnext\n";
    EXPECT_EQ(linesOf(lone, LineEnds::CrOrCrLf), QStringList({longLine, "next\n"}));
    EXPECT_EQ(linesOf(lone, LineEnds::CrLfOrLf), QStringList({longLine + "\rnext"}));
    // A CR that is the file's very last byte, at the end of the piece.
    EXPECT_EQ(linesOf(longLine.toLatin1() + "\r", LineEnds::CrOrCrLf), QStringList({longLine}));
}

// ---- appending ----

TEST_F(TextFileTest, AppendCreatesOrExtendsTheFileWithCrLfLinesOnCommit)
{
    const QString path = folder.filePath("out.txt");
    {
        FileAppend file(path, 0600);
        EXPECT_TRUE(file.createdFile());
        file.writeLine(QString::fromUtf8("Café"));
        file.write("raw");
        file.commit();
    }
    EXPECT_EQ(contentOf(path), "Caf\xC3\xA9\r\nraw");
    EXPECT_EQ(QFileInfo(path).permissions()
                  & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
              QFile::ReadOwner | QFile::WriteOwner);

    appendTextLines(path, {"", "two"});
    EXPECT_EQ(contentOf(path), "Caf\xC3\xA9\r\nraw\r\ntwo\r\n");
    FileAppend again(path);
    EXPECT_FALSE(again.createdFile());
    again.commit();
    EXPECT_EQ(contentOf(path), "Caf\xC3\xA9\r\nraw\r\ntwo\r\n");
}

TEST_F(TextFileTest, AnAppendThatIsNotCommittedLeavesNoTrace)
{
    const QString existing = fileWith("kept\r\n", "existing.txt");
    {
        FileAppend file(existing);
        file.write(std::string(3 * OneMiB, 'z')); // more than the buffer: reaches the file before the end
        file.writeLine("never");
    }
    EXPECT_EQ(contentOf(existing), "kept\r\n");

    const QString fresh = folder.filePath("fresh.txt");
    {
        FileAppend file(fresh);
        file.write(std::string(3 * OneMiB, 'z'));
    }
    EXPECT_FALSE(QFile::exists(fresh));
}

// What a child process reported, key by key.
using Report = std::map<std::string, std::string>;

// Runs `scenario` in a child process in which files cannot hold more than 64 KiB: in a tmpfs of
// that size mounted over `disk` in a mount namespace of the child's own (it goes with the child),
// or, where mounting is not allowed, under a file size limit with SIGXFSZ ignored, so writes fail
// with EFBIG. The report's "limit" says which: "tmpfs", "file size" or "none".
Report withSmallDisk(const QString& disk, const std::function<void(Report&)>& scenario)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {{"limit", "none"}, {"why", "no pipe"}};
    const pid_t child = ::fork();
    if (child < 0)
        return {{"limit", "none"}, {"why", "no child process"}};
    if (child == 0) {
        ::close(pipeEnds[0]);
        Report report;
        const QByteArray mountPoint = QFile::encodeName(disk);
        if (::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") == 0) {
            report["limit"] = "tmpfs";
        } else {
            const rlimit limit{64 * 1024, 64 * 1024};
            std::signal(SIGXFSZ, SIG_IGN);
            report["limit"] = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "file size" : "none";
        }
        if (report["limit"] != "none") {
            try {
                scenario(report);
            } catch (const std::exception& e) {
                report["unexpected"] = e.what();
            }
        }
        QByteArray out;
        for (const auto& [key, value] : report)
            out += QByteArray::fromStdString(key) + '=' + QByteArray::fromStdString(value).toPercentEncoding() + '\n';
        for (qsizetype done = 0; done < out.size();) {
            const ssize_t n = ::write(pipeEnds[1], out.constData() + done, static_cast<std::size_t>(out.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QByteArray in;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        in.append(buffer, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Report report;
    for (const QByteArray& line : in.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            report[line.left(eq).toStdString()] = QByteArray::fromPercentEncoding(line.mid(eq + 1)).toStdString();
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report["child"] = "ended abnormally";
    return report;
}

// Runs the step and tells its file error as "number: description", or "no error".
std::string failureOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const FileError& e) {
        return std::to_string(e.number()) + ": " + e.description().toStdString();
    }
    return "no error";
}

std::string contentOrMissing(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

TEST_F(TextFileTest, AFailedWriteTakesBackAllThatWasAppended)
{
    const QString disk = folder.filePath("disk");
    ASSERT_TRUE(QDir(folder.path()).mkdir("disk"));
    const QString existing = disk + "/existing.txt";
    const QString fresh = disk + "/fresh.txt";
    const Report report = withSmallDisk(disk, [&](Report& out) {
        appendTextLines(existing, {"earlier"});
        // Too much for the disk, written when the append commits.
        out["commit"] = failureOf([&] {
            FileAppend file(existing);
            file.write(std::string(200 * 1024, 'x'));
            file.commit();
        });
        out["after commit"] = contentOrMissing(existing);
        // Too much, written by write() itself when it passes the buffer's size.
        out["write"] = failureOf([&] {
            FileAppend file(existing);
            file.write(std::string(2 * OneMiB, 'y'));
        });
        out["after write"] = contentOrMissing(existing);
        out["lines"] = failureOf([&] { appendTextLines(existing, QStringList(2000, QString(60, 'z'))); });
        out["after lines"] = contentOrMissing(existing);
        out["new file"] = failureOf([&] { appendTextLines(fresh, QStringList(2000, QString(60, 'z'))); });
        out["after new file"] = contentOrMissing(fresh);
        // What fits is written: the failures above came from the size alone.
        out["fits"] = failureOf([&] { appendTextLines(existing, {"fits"}); });
        out["after fits"] = contentOrMissing(existing);
    });
    if (report.at("limit") == "none")
        GTEST_SKIP() << "neither a small tmpfs nor a file size limit could be set up for a child process ("
                     << (report.count("why") ? report.at("why") : "setrlimit refused") << ")";
    ASSERT_EQ(report.count("unexpected"), 0u) << report.at("unexpected");
    ASSERT_EQ(report.count("child"), 0u) << "the child process " << report.at("child");

    const QString reason = systemReason(report.at("limit") == "tmpfs" ? ENOSPC : EFBIG);
    const std::string failed = "75: Path/File access error: " + existing.toStdString() + ": " + reason.toStdString();
    SCOPED_TRACE("limit: " + report.at("limit"));
    RecordProperty("disk_limit", report.at("limit"));
    EXPECT_EQ(report.at("commit"), failed);
    EXPECT_EQ(report.at("after commit"), "earlier\r\n");
    EXPECT_EQ(report.at("write"), failed);
    EXPECT_EQ(report.at("after write"), "earlier\r\n");
    EXPECT_EQ(report.at("lines"), failed);
    EXPECT_EQ(report.at("after lines"), "earlier\r\n");
    EXPECT_EQ(report.at("new file"),
              "75: Path/File access error: " + fresh.toStdString() + ": " + reason.toStdString());
    EXPECT_EQ(report.at("after new file"), "<missing>");
    EXPECT_EQ(report.at("fits"), "no error");
    EXPECT_EQ(report.at("after fits"), "earlier\r\nfits\r\n");
}

} // namespace
