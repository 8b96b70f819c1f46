#include "MgenTestSupport.h"
#include "basics/AppPath.h"
#include "db/SqlTypes.h"
#include "support/TestServer.h"

#include "db/ResultSet.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "generate/ScriptGenerator.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>

using namespace zobran;
using namespace zobran::test;

namespace {

// A small memory file system of its own, to run out of space on purpose. Mounting needs root (or
// the right to mount); where that is missing the tests say so and skip.
class SmallDisk {
public:
    explicit SmallDisk(const QString& size)
    {
        path_ = home_.filePath(QStringLiteral("disk"));
        QDir().mkpath(path_);
        mounted_ = run({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                        QStringLiteral("size=") + size + QStringLiteral(",mode=0755"), QStringLiteral("zobran-test"),
                        path_});
    }
    ~SmallDisk()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path_});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const QString& failure() const { return failure_; }
    const QString& path() const { return path_; }
    // Grows (or shrinks) the disk in place.
    bool resize(const QString& size)
    {
        return run({QStringLiteral("-o"), QStringLiteral("remount,size=") + size, path_});
    }

private:
    bool run(const QStringList& arguments)
    {
        QProcess mount;
        mount.start(QStringLiteral("mount"), arguments);
        if (mount.waitForFinished(30000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0)
            return true;
        failure_
            = mount.errorString() + QLatin1Char(' ') + QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
        return false;
    }

    QTemporaryDir home_;
    QString path_;
    QString failure_;
    bool mounted_ = false;
};

#define SKIP_WITHOUT(disk)                                                                                             \
    if (!(disk).mounted())                                                                                             \
    GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root or the right to mount): "                        \
                 << (disk).failure().toStdString()

constexpr int Rows = 300;
constexpr int RowsPerFile = 30;
const QRegularExpression Statement(QStringLiteral("^INSERT INTO (\\w+) \\(id,note\\) VALUES\\((\\d+),N'x+'\\)$"));

// The ids of the statements of a script file, in order; every line must be one whole statement.
std::vector<int> idsIn(const QByteArray& bytes)
{
    std::vector<int> ids;
    EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n")) << "a file ends with a whole line";
    for (const QString& line : crlfLines(bytes)) {
        const QRegularExpressionMatch match = Statement.match(line);
        EXPECT_TRUE(match.hasMatch()) << "not a whole statement: " << line.left(80).toStdString();
        if (match.hasMatch())
            ids.push_back(match.captured(2).toInt());
    }
    return ids;
}

class DiskFullTest : public MgenWindowTest {
protected:
    void SetUp() override
    {
        MgenWindowTest::SetUp();
        table = QStringLiteral("df_rows_%1").arg(QCoreApplication::applicationPid());
        // Statements of about 950 characters: one line each, about 32 KB a file.
        setup().execute("drop table if exists " + table);
        setup().execute("create table " + table
                        + " as select g as id, repeat('x', 900 + g % 7) as note "
                          "from generate_series(1, "
                        + QString::number(Rows) + ") g");
    }
    void TearDown() override
    {
        setup().execute("drop table if exists " + table);
        MgenWindowTest::TearDown();
    }

    // Generates every row of the table (30 a file) with the program folder on the disk; handler
    // sees each error window.
    void generateOnto(const SmallDisk& disk, const std::function<void(QDialog&)>& onError)
    {
        AppPath() = disk.path();
        withWindow([&](MgenWindow& w) {
            addQuery(w, "Select * From " + table + " Order By id", table);
            field(w, 8)->setText(QString::number(RowsPerFile));
            for (int i = 0; i < Rows / RowsPerFile + 1; ++i)
                scripted.onModal(onError);
            scripted.answerYesNo(answer::Yes);
            click(cBut(w, MgenWindow::GenerateScriptButton));
            lastFile = w.lastScriptFile();
            auto* pending = child<QListView>(w, "SQLListBox")->model();
            for (int row = 0; row < pending->rowCount(); ++row)
                pendingLines << pending->data(pending->index(row, 0)).toString();
        });
    }

    // Every id of the files in the Export folder, file by file in name order.
    std::vector<int> idsInFiles(const SmallDisk& disk)
    {
        std::vector<int> ids;
        const QDir folder(disk.path() + QStringLiteral("/Export"));
        QStringList files = folder.entryList(QDir::Files);
        // SQL-...-2 before SQL-...-10: by file number.
        std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
            return a.section('-', 3).section('.', 0, 0).toInt() < b.section('-', 3).section('.', 0, 0).toInt();
        });
        for (const QString& file : files) {
            const std::vector<int> some = idsIn(readAll(folder.filePath(file)));
            ids.insert(ids.end(), some.begin(), some.end());
        }
        return ids;
    }

    static std::vector<int> count(int from, int to)
    {
        std::vector<int> ids;
        for (int i = from; i <= to; ++i)
            ids.push_back(i);
        return ids;
    }

    QString table;
    QString lastFile;
    QStringList pendingLines;
    QStringList errors; // descriptions of the error windows shown
};

QString errorText(QDialog& window)
{
    return window.findChild<QPlainTextEdit*>(QStringLiteral("ErrTxt"))->toPlainText();
}

} // namespace

TEST_F(DiskFullTest, AFullDiskLosesNoRowAndDoublesNoneWhenSpaceComesBack)
{
    SmallDisk disk(QStringLiteral("128k"));
    SKIP_WITHOUT(disk);
    QString failedFile;
    generateOnto(disk, [&](QDialog& window) {
        errors << errorText(window);
        if (errors.size() == 1) {
            failedFile = errorText(window).section(QStringLiteral(": "), 1, 1);
            EXPECT_TRUE(disk.resize(QStringLiteral("4m"))) << disk.failure().toStdString();
        }
    });
    ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
    EXPECT_TRUE(
        errors[0].startsWith(QStringLiteral("Path/File access error: ") + disk.path() + QStringLiteral("/Export/SQL-")))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith(QStringLiteral(": No space left on device"))) << errors[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(failedFile))
        << "the file the failed write created is gone: " << failedFile.toStdString();

    // Each row once, in order; the failed file's rows went whole into the next one.
    EXPECT_EQ(idsInFiles(disk), count(1, Rows));
    EXPECT_TRUE(pendingLines.isEmpty());
    ASSERT_EQ(scripted.messages().size(), 1u);
    EXPECT_EQ(scripted.messages()[0].text,
              lastFile
                  + " Script Done.\n\n1 file write(s) failed and were reported; "
                    "their lines went into the next file written.");
}

TEST_F(DiskFullTest, ADiskThatStaysFullEndsTheRunAsStoppedWithTheRowsStillPending)
{
    SmallDisk disk(QStringLiteral("128k"));
    SKIP_WITHOUT(disk);
    generateOnto(disk, [&](QDialog& window) { errors << errorText(window); });
    ASSERT_EQ(errors.size(), 1) << "one report a run: " << errors.join('\n').toStdString();
    EXPECT_TRUE(errors[0].endsWith(QStringLiteral(": No space left on device"))) << errors[0].toStdString();

    // The files hold whole statements of the first rows; the rest is pending, whole, nothing twice.
    const std::vector<int> written = idsInFiles(disk);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written, count(1, static_cast<int>(written.size())));
    EXPECT_EQ(written.size() % RowsPerFile, 0u);
    std::vector<int> pending;
    for (const QString& line : pendingLines)
        pending.push_back(Statement.match(line).captured(2).toInt());
    EXPECT_EQ(pending, count(static_cast<int>(written.size()) + 1, Rows));

    // The last complete file is the one of the last rows written.
    const QString lastNumber = QStringLiteral("-%1.SQL").arg(written.size() / RowsPerFile);
    QString lastComplete;
    for (const QString& file : QDir(disk.path() + QStringLiteral("/Export")).entryList(QDir::Files))
        if (file.endsWith(lastNumber))
            lastComplete = disk.path() + QStringLiteral("/Export/") + file;
    ASSERT_FALSE(lastComplete.isEmpty());
    ASSERT_EQ(scripted.messages().size(), 1u);
    // Every later write failed too: counted, not reported again.
    const QRegularExpressionMatch closing
        = QRegularExpression("^Script generation stopped on an error. Last file written completely: "
                             + QRegularExpression::escape(lastComplete)
                             + "\n\n(\\d+) file writes failed; the first failure was reported.$")
              .match(scripted.messages()[0].text);
    ASSERT_TRUE(closing.hasMatch()) << scripted.messages()[0].text.toStdString();
    EXPECT_GE(closing.captured(1).toInt(), Rows / RowsPerFile - int(written.size()) / RowsPerFile);
    EXPECT_EQ(scripted.messages()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(lastFile.isEmpty()) << "the last write failed";
}

TEST(DiskFull, AFailedAppendTakesAChosenFileBackToItsSize)
{
    SmallDisk disk(QStringLiteral("64k"));
    SKIP_WITHOUT(disk);
    const QString saved = AppPath();
    AppPath() = disk.path();
    PendingLineBuffer lines;
    ScriptFileWriter writer(lines,
                            {{}, [](const QString&) { return std::optional<QString>(QStringLiteral("mine")); }, {}});
    writer.setAutoName(false);
    const std::string line(900, 'a');
    for (int i = 0; i < 20; ++i)
        lines.appendLine(line);
    writer.writePendingLines(ScriptKind::Sql, 1);
    const QString path = disk.path() + QStringLiteral("/Export/mine.SQL");
    const qint64 first = QFileInfo(path).size();
    EXPECT_EQ(first, 20 * 902);

    for (int i = 0; i < 80; ++i)
        lines.appendLine(std::string(900, 'b'));
    try {
        writer.writePendingLines(ScriptKind::Sql, 2);
        FAIL() << "the disk is full";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(),
                  QStringLiteral("Path/File access error: ") + path + QStringLiteral(": No space left on device"));
    }
    EXPECT_EQ(QFileInfo(path).size(), first) << "the file is back to its size before the write";
    EXPECT_EQ(lines.lineCount(), 80u);

    ASSERT_TRUE(disk.resize(QStringLiteral("1m"))) << disk.failure().toStdString();
    writer.writePendingLines(ScriptKind::Sql, 3);
    EXPECT_EQ(QFileInfo(path).size(), 100 * 902);
    AppPath() = saved;
}

TEST(DiskFull, PendingLinesThatCannotBeKeptSayWhy)
{
    SmallDisk disk(QStringLiteral("64k"));
    SKIP_WITHOUT(disk);
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", disk.path().toLocal8Bit());
    PendingLineBuffer lines; // its temporary file goes to the small disk
    ScriptGenerator generator{lines};
    if (savedTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);

    const std::vector<std::vector<std::optional<std::string>>> rows(3000, {std::string(900, 'x')});
    const auto open = [&](const QString&) { return db::ResultSet::fromRows({{"note", db::sqltype::VarChar}}, rows); };
    try {
        generator.run({{QStringLiteral("q"), QStringLiteral("t")}}, ScriptKind::Sql, u"0", open, {});
        FAIL() << "the pending lines do not fit";
    } catch (const CountLengthError& e) {
        EXPECT_TRUE(e.description().contains(disk.path())) << e.description().toStdString();
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("No space left on device")))
            << e.description().toStdString();
        EXPECT_FALSE(e.description().contains(QStringLiteral("Unknown error")));
    }
}
