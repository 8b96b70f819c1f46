#include "generate/ScriptGenerator.h"
#include "basics/AppError.h"
#include "db/ResultSet.h"
#include "db/SqlTypes.h"
#include "generate/PendingLineBuffer.h"
#include "generate/ScriptFileWriter.h"
#include "import/KxStatementReader.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace zobran;
using Rows = std::vector<std::vector<std::optional<std::string>>>;

namespace {

Rows numberedRows(int count)
{
    Rows rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({std::to_string(i)});
    return rows;
}

// Splits file content into lines the way KX readers do: at CR or CR LF.
std::vector<std::string> kxLines(const QByteArray& content)
{
    std::vector<std::string> lines;
    std::string line;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
            if (i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

class ScriptGeneratorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    void addQuery(const QString& sql, const QString& table, std::vector<db::FieldInfo> fields, Rows rows)
    {
        queries.push_back({sql, table});
        tables[sql] = {std::move(fields), std::move(rows)};
    }

    ScriptGenerator::QueryOpener opener()
    {
        return [this](const QString& sql) {
            opened << sql;
            const auto found = tables.find(sql);
            if (found == tables.end())
                throw AppError(42, QStringLiteral("no such table: ") + sql);
            return db::ResultSet::fromRows(found->second.first, found->second.second);
        };
    }

    // Generates with a writer that names files automatically; records every callback.
    void generate(ScriptKind kind, const QString& limit)
    {
        ScriptGenerator::Callbacks callbacks;
        callbacks.status = [this](const QString& text) { events << QStringLiteral("status:") + text; };
        callbacks.rowProgress = [this](long row, long total) { lastProgress = generateStatusText(row, total); };
        callbacks.fileDue = [this, kind](qint16 number) {
            events << QStringLiteral("file:%1").arg(number);
            writer.writePendingLines(kind, number);
            written << writer.lastScriptFile();
        };
        generator.run(queries, kind, limit, opener(), callbacks);
    }

    QByteArray fileContent(int index) const
    {
        QFile file(written.at(index));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList exportFiles() const
    {
        return QDir(home.path() + QStringLiteral("/Export")).entryList(QDir::Files, QDir::Name);
    }

    test::ProgramFolder home;
    PendingLineBuffer lines;
    ScriptFileWriter writer{lines, {[] { return QDateTime(QDate(2009, 12, 7), QTime(15, 30, 45)); }, {}, {}}};
    ScriptGenerator generator{lines};
    std::vector<ScriptQuery> queries;
    std::map<QString, std::pair<std::vector<db::FieldInfo>, Rows>> tables;
    QStringList opened, events, written;
    QString lastProgress;
};

QByteArray insertLines(const char* table, int from, int to)
{
    QByteArray out;
    for (int i = from; i <= to; ++i)
        out += QByteArray("INSERT INTO ") + table + " (id) VALUES(" + QByteArray::number(i) + ")\r\n";
    return out;
}

} // namespace

TEST_F(ScriptGeneratorTest, RecordLimitSplitsIntoFilesAcrossQueries)
{
    addQuery(QStringLiteral("Select * From a"), QStringLiteral("q1"), {{"id", db::sqltype::Integer}},
             numberedRows(150));
    addQuery(QStringLiteral("Select * From b"), QStringLiteral("q2"), {{"id", db::sqltype::Integer}},
             numberedRows(120));

    generate(ScriptKind::Sql, QStringLiteral("100"));

    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(fileContent(0), insertLines("q1", 1, 100));
    EXPECT_EQ(fileContent(1), insertLines("q1", 101, 150) + insertLines("q2", 1, 100));
    EXPECT_EQ(fileContent(2), insertLines("q2", 101, 120));
    EXPECT_EQ(exportFiles(),
              (QStringList{QStringLiteral("SQL-20091207-153045-1.SQL"), QStringLiteral("SQL-20091207-153045-2.SQL"),
                           QStringLiteral("SQL-20091207-153045-3.SQL")}));
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("status:"), QStringLiteral("file:1"), QStringLiteral("file:2"),
                           QStringLiteral("file:3"), QStringLiteral("status:")}));
    EXPECT_EQ(lastProgress, QStringLiteral("Generate ... 120 of 120"));
    EXPECT_EQ(generator.rowsGenerated(), 270);
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(ScriptGeneratorTest, ExactMultipleWritesNoExtraFileAndNoLimitWritesOne)
{
    addQuery(QStringLiteral("a"), QStringLiteral("t"), {{"id", db::sqltype::Integer}}, numberedRows(200));
    generate(ScriptKind::Sql, QStringLiteral("100"));
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("status:"), QStringLiteral("file:1"), QStringLiteral("file:2"),
                           QStringLiteral("status:")}));

    for (const QString& limit : {QStringLiteral("0"), QString(), QStringLiteral("abc")}) {
        events.clear();
        written.clear();
        QDir(home.path() + QStringLiteral("/Export")).removeRecursively();
        generate(ScriptKind::Sql, limit);
        EXPECT_EQ(events, (QStringList{QStringLiteral("status:"), QStringLiteral("file:1"), QStringLiteral("status:")}))
            << limit.toStdString();
        EXPECT_EQ(fileContent(0), insertLines("t", 1, 200)) << limit.toStdString();
    }
}

TEST_F(ScriptGeneratorTest, QueriesWithoutRowsWriteNothingAndKeepTheFileNumber)
{
    addQuery(QStringLiteral("empty1"), QStringLiteral("e"), {{"id", db::sqltype::Integer}}, {});
    addQuery(QStringLiteral("some"), QStringLiteral("s"), {{"id", db::sqltype::Integer}}, numberedRows(3));
    addQuery(QStringLiteral("empty2"), QStringLiteral("e"), {{"id", db::sqltype::Integer}}, {});
    generate(ScriptKind::Kx, QStringLiteral("2"));
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("status:"), QStringLiteral("file:1"), QStringLiteral("file:2"),
                           QStringLiteral("status:")}));
    EXPECT_EQ(opened, (QStringList{QStringLiteral("empty1"), QStringLiteral("some"), QStringLiteral("empty2")}));
    EXPECT_EQ(fileContent(1), QByteArray("<INSERT INTO s (id) VALUES(3)>\r\n"));

    queries.clear();
    events.clear();
    addQuery(QStringLiteral("empty1"), QStringLiteral("e"), {{"id", db::sqltype::Integer}}, {});
    generate(ScriptKind::Kx, QStringLiteral("2"));
    EXPECT_EQ(events, (QStringList{QStringLiteral("status:"), QStringLiteral("status:")}));

    queries.clear();
    events.clear();
    lines.appendLine("left over from a failed run");
    generate(ScriptKind::Kx, QStringLiteral("2"));
    EXPECT_EQ(events, (QStringList{QStringLiteral("status:"), QStringLiteral("status:")}));
    EXPECT_TRUE(lines.isEmpty()) << "every run starts with an empty buffer";
}

TEST_F(ScriptGeneratorTest, AFailingQueryEndsTheRunButKeepsWrittenFiles)
{
    addQuery(QStringLiteral("a"), QStringLiteral("t"), {{"id", db::sqltype::Integer}}, numberedRows(5));
    queries.push_back({QStringLiteral("broken"), QStringLiteral("x")});
    addQuery(QStringLiteral("c"), QStringLiteral("t"), {{"id", db::sqltype::Integer}}, numberedRows(5));
    try {
        generate(ScriptKind::Sql, QStringLiteral("2"));
        FAIL() << "the query error must leave the run";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 42);
    }
    EXPECT_EQ(written.size(), 2);
    EXPECT_EQ(lines.lineCount(), 1u) << "row 5 of the first query stays pending";
    EXPECT_EQ(opened, (QStringList{QStringLiteral("a"), QStringLiteral("broken")}));
}

TEST_F(ScriptGeneratorTest, AStatementThatCannotBeBuiltEndsTheRunAtItsOwnRow)
{
    // Statements are built while the rows are read, yet a row that cannot become one ends the run
    // only when its turn comes: the files of the rows before it are written.
    Rows rows = numberedRows(6);
    for (auto& row : rows)
        row.push_back(std::string("0A"));
    rows[4][1] = "not hexadecimal";
    addQuery(QStringLiteral("a"), QStringLiteral("t"), {{"id", db::sqltype::Integer}, {"b", db::sqltype::VarBinary}},
             rows);
    EXPECT_THROW(generate(ScriptKind::Sql, QStringLiteral("2")), AppError);
    ASSERT_EQ(written.size(), 2);
    EXPECT_TRUE(fileContent(1).startsWith("INSERT INTO t (id,b) VALUES(3,"));
    EXPECT_EQ(lastProgress, QStringLiteral("Generate ... 5 of 6"));
    EXPECT_EQ(generator.rowsGenerated(), 4);
}

TEST_F(ScriptGeneratorTest, AFailedFileLeavesItsLinesForTheNextFile)
{
    addQuery(QStringLiteral("a"), QStringLiteral("t"), {{"id", db::sqltype::Integer}}, numberedRows(6));
    int attempts = 0;
    ScriptGenerator::Callbacks callbacks;
    callbacks.fileDue = [&](qint16 number) {
        // The window reports a writer failure itself and lets the run go on.
        try {
            if (++attempts == 1)
                throw AppError(errnum::PathFileAccess, QStringLiteral("disk full"));
            writer.writePendingLines(ScriptKind::Sql, number);
            written << writer.lastScriptFile();
        } catch (const AppError&) {
            events << QStringLiteral("reported");
        }
    };
    generator.run(queries, ScriptKind::Sql, u"2", opener(), callbacks);
    EXPECT_EQ(events, QStringList{QStringLiteral("reported")});
    ASSERT_EQ(written.size(), 2);
    EXPECT_TRUE(written[0].endsWith(QStringLiteral("-2.SQL")));
    EXPECT_EQ(fileContent(0), insertLines("t", 1, 4));
    EXPECT_EQ(fileContent(1), insertLines("t", 5, 6));
}

TEST_F(ScriptGeneratorTest, RowsTakeTheirTurnWithTheWholeCountAndLinesOfRowsNeverReachedAreForgotten)
{
    // The rows are read whole before the first takes its turn, so the first row already shows the
    // query's total; when the run ends early the lines read ahead for later rows go.
    addQuery(QStringLiteral("a"), QStringLiteral("t"), {{"id", db::sqltype::Integer}}, numberedRows(250));
    std::vector<std::pair<long, long>> progress;
    ScriptGenerator::Callbacks callbacks;
    callbacks.rowProgress = [&](long row, long total) { progress.emplace_back(row, total); };
    callbacks.fileDue = [&](qint16 number) {
        if (number == 2)
            throw AppError(errnum::PathFileAccess, QStringLiteral("escapes"));
        writer.writePendingLines(ScriptKind::Sql, number);
        written << writer.lastScriptFile();
    };
    EXPECT_THROW(generator.run(queries, ScriptKind::Sql, u"100", opener(), callbacks), AppError);
    ASSERT_EQ(progress.size(), 200u);
    EXPECT_EQ(progress.front(), std::make_pair(1L, 250L));
    EXPECT_EQ(progress.back(), std::make_pair(200L, 250L));
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(fileContent(0), insertLines("t", 1, 100));
    ASSERT_EQ(lines.lineCount(), 100u) << "the lines of the file that was due stay pending";
    EXPECT_EQ(lines.line(0), "INSERT INTO t (id) VALUES(101)");
    EXPECT_EQ(lines.heldBackLineCount(), 0u);
}

TEST_F(ScriptGeneratorTest, KxFileReadsBackStatementByStatement)
{
    // Long values full of brackets, blanks and multibyte text, and a lone LF (which KX carries).
    Rows rows;
    for (int i = 0; i < 40; ++i) {
        std::string text;
        for (int k = 0; k < 150 + 37 * i; ++k)
            text += std::string(k % 7 == 0 ? "<" : k % 11 == 0 ? "> " : k % 13 == 0 ? "'é" : k % 17 == 0 ? "\n€" : "x");
        rows.push_back({std::to_string(i), text, "2009-12-07 12:00:00"});
    }
    addQuery(QStringLiteral("a"), QStringLiteral("item"),
             {{"id", db::sqltype::Integer}, {"note", db::sqltype::WLongVarChar}, {"created", db::sqltype::Timestamp}},
             rows);
    generate(ScriptKind::Kx, QStringLiteral("0"));
    ASSERT_EQ(written.size(), 1);
    const QByteArray content = fileContent(0);
    EXPECT_FALSE(content.startsWith("\xEF\xBB\xBF"));

    // What the builder made, without brackets, row by row.
    std::vector<std::string> expected;
    for (const auto& row : rows) {
        std::string note;
        for (const char c : *row[1])
            note += c == '\'' ? std::string("''") : std::string(1, c);
        expected.push_back("INSERT INTO item (id,note,created) VALUES(" + *row[0] + ",N'" + note
                           + "','2009-12-07T12:00:00')");
    }
    KxStatementReader reader;
    std::vector<std::string> statements;
    for (const auto& line : kxLines(content))
        if (const QString* statement = reader.feedLine(QString::fromStdString(line)))
            statements.push_back(statement->toStdString());
    EXPECT_EQ(statements, expected);
    EXPECT_EQ(generator.valuesWithCarriageReturn(), 0);
    EXPECT_EQ(generator.statementsNotRestorable(), 0);
}

TEST_F(ScriptGeneratorTest, CarriageReturnsInKxValuesAreCounted)
{
    addQuery(QStringLiteral("a"), QStringLiteral("t"), {{"a", db::sqltype::VarChar}, {"b", db::sqltype::VarChar}},
             {{"x\r\ny", "z"}, {"\r", "\r"}, {"no", "lf\n"}});
    generate(ScriptKind::Kx, QString());
    EXPECT_EQ(generator.valuesWithCarriageReturn(), 3);
    EXPECT_EQ(fileContent(0),
              QByteArray("<INSERT INTO t (a,b) VALUES('x\r\ny','z')>\r\n<INSERT INTO t (a,b) VALUES('\r','\r')>\r\n"
                         "<INSERT INTO t (a,b) VALUES('no','lf\n')>\r\n"));
}

TEST_F(ScriptGeneratorTest, AWholeTableGoesIntoOneFileStatementByStatement)
{
    // Enough rows to pass the write buffers several times over (the speed is scripts/bench.sh's).
    const int rowCount = 50000;
    std::vector<db::FieldInfo> fields
        = {{"id", db::sqltype::Integer}, {"code", db::sqltype::WVarChar},     {"name", db::sqltype::WVarChar},
           {"active", db::sqltype::Bit}, {"created", db::sqltype::Timestamp}, {"price", db::sqltype::Numeric},
           {"qty", db::sqltype::Double}, {"note", db::sqltype::WVarChar}};
    Rows rows;
    rows.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i)
        rows.push_back({std::to_string(i), "ITEM-" + std::to_string(i), "Item name " + std::to_string(i) + " it's",
                        i % 2 ? "1" : "0", "2009-12-07 15:04:05.123", std::to_string(i) + ".50",
                        i % 5 ? std::optional<std::string>("3.25") : std::nullopt,
                        "a note of some length with €uro signs and <brackets>"});
    addQuery(QStringLiteral("big"), QStringLiteral("qinv_mt_item"), fields, std::move(rows));

    for (const ScriptKind kind : {ScriptKind::Sql, ScriptKind::Kx}) {
        written.clear();
        QDir(home.path() + QStringLiteral("/Export")).removeRecursively();
        generate(kind, QStringLiteral("0"));
        ASSERT_EQ(written.size(), 1);
        EXPECT_EQ(generator.rowsGenerated(), rowCount);
        const QList<QByteArray> lines = fileContent(0).split('\n');
        ASSERT_EQ(lines.size(), rowCount + 1) << "one line per statement, the last one ended too";
        // (The values themselves are the value rules' tests.)
        const QByteArray head = QByteArray(kind == ScriptKind::Sql ? "" : "<")
            + "INSERT INTO qinv_mt_item (id,code,name,active,created,price,qty,note) VALUES(";
        for (const int i : {0, 1, 12345, rowCount - 1}) {
            const QByteArray& line = lines[i];
            EXPECT_TRUE(line.startsWith(head + QByteArray::number(i) + ",")) << line.left(100).toStdString();
            EXPECT_TRUE(line.endsWith(kind == ScriptKind::Sql ? ")\r" : ")>\r")) << line.right(40).toStdString();
        }
        EXPECT_EQ(lastProgress, QStringLiteral("Generate ... 50000 of 50000"));
    }
}

TEST(ScriptGeneratorBuffering, AStatementThatCannotBeKeptEndsTheRunAsACuttingFailure)
{
    // The pending lines go to a temporary file: in a folder where no file can be made they cannot be kept.
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/proc");
    PendingLineBuffer lines;
    ScriptGenerator generator{lines};
    if (savedTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);

    Rows rows(3000, {std::string(1000, 'x')});
    const auto open = [&](const QString&) { return db::ResultSet::fromRows({{"t", db::sqltype::VarChar}}, rows); };
    int filesDue = 0;
    ScriptGenerator::Callbacks callbacks;
    callbacks.fileDue = [&](qint16) { ++filesDue; };
    EXPECT_THROW(generator.run({{QStringLiteral("q"), QStringLiteral("t")}}, ScriptKind::Sql, u"0", open, callbacks),
                 CountLengthError);
    EXPECT_EQ(filesDue, 0) << "an incomplete script is never written";
}
