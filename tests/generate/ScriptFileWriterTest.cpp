#include "generate/ScriptFileWriter.h"
#include "basics/AppError.h"
#include "basics/AppPath.h"
#include "generate/PendingLineBuffer.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace zobran;

namespace {

const QDateTime fixedClock(QDate(2009, 12, 7), QTime(15, 30, 45));

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class ScriptFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    QString exportPath(const QString& fileName) const { return home.path() + QStringLiteral("/Export/") + fileName; }

    ScriptFileWriter makeWriter(std::function<std::optional<QString>(const QString&)> chooser = {})
    {
        ScriptFileWriter::Hooks hooks;
        hooks.now = [] { return fixedClock; };
        hooks.chooseName = [this, chooser](const QString& defaultName) {
            offered << defaultName;
            return chooser ? chooser(defaultName) : std::optional<QString>(defaultName);
        };
        hooks.status = [this](const QString& text) { statuses << text; };
        return ScriptFileWriter(lines, std::move(hooks));
    }

    test::ProgramFolder home;
    PendingLineBuffer lines;
    QStringList offered;
    QStringList statuses;
};

} // namespace

TEST_F(ScriptFileWriterTest, AutomaticNameCreatesExportAndWritesUtf8WithCrLf)
{
    ScriptFileWriter writer = makeWriter();
    writer.setAutoName(true);
    lines.appendLine("<INSERT INTO t (a) VALUES('ü€')>");
    lines.appendLine("<INSERT INTO t (a) VALUES(2)>");
    ASSERT_FALSE(QDir(home.path() + QStringLiteral("/Export")).exists());

    writer.writePendingLines(ScriptKind::Kx, 3);

    const QString path = exportPath(QStringLiteral("SQL-20091207-153045-3.KX"));
    EXPECT_EQ(writer.lastScriptFile(), path);
    EXPECT_EQ(contentOf(path),
              QByteArray("<INSERT INTO t (a) VALUES('\xC3\xBC\xE2\x82\xAC')>\r\n<INSERT INTO t (a) VALUES(2)>\r\n"));
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_TRUE(offered.isEmpty()) << "no question while auto-naming";
    EXPECT_EQ(statuses, (QStringList{QStringLiteral("Start Generate KX File ..."), QString()}));
}

TEST_F(ScriptFileWriterTest, ChosenNamesAppendIntoTheSameFile)
{
    QStringList answers = {QStringLiteral("mine.sql"), QStringLiteral("mine.sql"), QString()};
    ScriptFileWriter writer = makeWriter([&](const QString&) { return std::optional<QString>(answers.takeFirst()); });
    writer.setAutoName(false);

    lines.appendLine("first");
    writer.writePendingLines(ScriptKind::Sql, 1);
    lines.appendLine("second");
    writer.writePendingLines(ScriptKind::Sql, 2);
    lines.appendLine("third");
    writer.writePendingLines(ScriptKind::Sql, 3); // empty answer: the default name

    EXPECT_EQ(offered,
              (QStringList{QStringLiteral("SQL-20091207-153045-1"), QStringLiteral("SQL-20091207-153045-2"),
                           QStringLiteral("SQL-20091207-153045-3")}));
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("mine.sql.SQL"))), QByteArray("first\r\nsecond\r\n"));
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-3.SQL"))), QByteArray("third\r\n"));
    EXPECT_EQ(writer.lastScriptFile(), exportPath(QStringLiteral("SQL-20091207-153045-3.SQL")));
}

TEST_F(ScriptFileWriterTest, CancelledChoiceUsesTheDefaultName)
{
    ScriptFileWriter writer = makeWriter([](const QString&) { return std::optional<QString>(); });
    writer.setAutoName(false);
    lines.appendLine("x");
    writer.writePendingLines(ScriptKind::Sql, 1);
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-1.SQL"))), QByteArray("x\r\n"));
}

TEST_F(ScriptFileWriterTest, EmptyBufferWritesNothingAndForgetsTheLastFile)
{
    ScriptFileWriter writer = makeWriter();
    writer.setAutoName(false);
    lines.appendLine("x");
    writer.writePendingLines(ScriptKind::Sql, 1);
    ASSERT_FALSE(writer.lastScriptFile().isEmpty());
    offered.clear();
    statuses.clear();

    writer.writePendingLines(ScriptKind::Sql, 2);
    EXPECT_TRUE(writer.lastScriptFile().isEmpty());
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_EQ(QDir(home.path() + QStringLiteral("/Export")).entryList(QDir::Files).size(), 1);
}

TEST_F(ScriptFileWriterTest, FailuresKeepTheLinesPending)
{
    ScriptFileWriter writer
        = makeWriter([](const QString&) { return std::optional<QString>(QStringLiteral("../escape")); });
    writer.setAutoName(false);
    lines.appendLine("kept");
    try {
        writer.writePendingLines(ScriptKind::Sql, 1);
        FAIL() << "a name with a folder separator must be refused";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errnum::PathFileAccess);
    }
    EXPECT_EQ(lines.lineCount(), 1u);
    EXPECT_TRUE(writer.lastScriptFile().isEmpty());
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/escape.SQL")));

    AppPath() = home.path() + QStringLiteral("/no/such/folder");
    writer.setAutoName(true);
    try {
        writer.writePendingLines(ScriptKind::Sql, 1);
        FAIL() << "a missing program folder must be reported";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errnum::PathNotFound);
    }
    EXPECT_EQ(lines.lineCount(), 1u);

    // A file in place of the Export folder: the message names the folder and why.
    AppPath() = home.path();
    {
        QFile blocker(home.path() + QStringLiteral("/Export"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    try {
        writer.writePendingLines(ScriptKind::Sql, 1);
        FAIL() << "a file standing where the Export folder should be must be reported";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.description().contains(home.path() + QStringLiteral("/Export"))) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("a file stands where the folder should be")));
        EXPECT_FALSE(e.description().contains(QStringLiteral("Unknown error")));
    }
    EXPECT_EQ(lines.lineCount(), 1u);

    // A chosen name that cannot be opened (a folder of that name is there).
    ASSERT_TRUE(QFile::remove(home.path() + QStringLiteral("/Export")));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Export")));
    ASSERT_TRUE(QDir(home.path() + QStringLiteral("/Export")).mkdir(QStringLiteral("mine.SQL")));
    ScriptFileWriter chosen = makeWriter([](const QString&) { return std::optional<QString>(QStringLiteral("mine")); });
    chosen.setAutoName(false);
    try {
        chosen.writePendingLines(ScriptKind::Sql, 1);
        FAIL() << "a file that cannot be opened must be reported";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errnum::PathFileAccess);
        EXPECT_TRUE(
            e.description().endsWith(exportPath(QStringLiteral("mine.SQL")) + QStringLiteral(": Is a directory")))
            << e.description().toStdString();
    }
    EXPECT_EQ(lines.lineCount(), 1u);

    writer.writePendingLines(ScriptKind::Sql, 2); // the same lines go into the next file
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-2.SQL"))), QByteArray("kept\r\n"));
}

TEST_F(ScriptFileWriterTest, AutomaticNamesNeverAddToAnExistingFile)
{
    // Two runs in the same second write file 1 each: the second moves on to a free name.
    ScriptFileWriter writer = makeWriter();
    for (const char* line : {"first run", "second run", "third run"}) {
        lines.appendLine(line);
        writer.writePendingLines(ScriptKind::Sql, 1);
    }
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-1.SQL"))), QByteArray("first run\r\n"));
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-1_2.SQL"))), QByteArray("second run\r\n"));
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-1_3.SQL"))), QByteArray("third run\r\n"));
    EXPECT_EQ(writer.lastScriptFile(), exportPath(QStringLiteral("SQL-20091207-153045-1_3.SQL")));

    // The default name offered and accepted in the input box is automatic too; a typed one is not.
    QStringList answers = {QStringLiteral("SQL-20091207-153045-1"), QStringLiteral("SQL-20091207-153045-1_2")};
    ScriptFileWriter asking = makeWriter([&](const QString&) { return std::optional<QString>(answers.takeFirst()); });
    asking.setAutoName(false);
    lines.appendLine("accepted default");
    asking.writePendingLines(ScriptKind::Sql, 1);
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-1_4.SQL"))), QByteArray("accepted default\r\n"));
    lines.appendLine("typed");
    asking.writePendingLines(ScriptKind::Sql, 1);
    EXPECT_EQ(contentOf(exportPath(QStringLiteral("SQL-20091207-153045-1_2.SQL"))),
              QByteArray("second run\r\ntyped\r\n"));
}
