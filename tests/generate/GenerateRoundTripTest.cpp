#include "MgenTestSupport.h"
#include "support/TestServer.h"

#include "import/KxStatementReader.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>

using namespace zobran;
using namespace zobran::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The lines of a script file: every line of the program's files ends with CR LF.
QStringList crlfLines(const QByteArray& bytes)
{
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(bytes).split("\r\n");
    lines.removeLast();
    return lines;
}

// The statements of an SQL file, as a script runner reads them: a statement begins on a line that
// starts with "INSERT INTO <table> " and runs on over the following lines, line ends included.
QStringList sqlStatements(const QByteArray& bytes, const QString& table)
{
    QStringList statements;
    const QString start = "INSERT INTO " + table + " ";
    for (const QString& line : QString::fromUtf8(bytes).split("\r\n")) {
        if (line.startsWith(start))
            statements << line;
        else if (!statements.isEmpty())
            statements.last() += "\r\n" + line;
    }
    if (!statements.isEmpty() && statements.last().endsWith("\r\n"))
        statements.last().chop(2);
    return statements;
}

// The statements of a KX file as a reader gets them: lines end at CR or CR LF.
QStringList kxStatements(const QByteArray& bytes, bool stripLeadingSpaces)
{
    QString text = QString::fromUtf8(bytes);
    text.replace("\r\n", "\r");
    QStringList lines = text.split('\r');
    lines.removeLast();
    KxStatementReader reader(stripLeadingSpaces ? KxStatementReader::LeadingSpaces::Strip : KxStatementReader::LeadingSpaces::Keep);
    QStringList statements;
    for (const QString& line : lines) {
        const QByteArray utf8 = line.toUtf8();
        if (auto statement = reader.feedLine(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))))
            statements << QString::fromUtf8(statement->data(), static_cast<qsizetype>(statement->size()));
    }
    return statements;
}

class GenerateRoundTripTest : public MgenWindowTest {
protected:
    static constexpr int Rows = 60;

    void SetUp() override
    {
        MgenWindowTest::SetUp();
        // The tests of this fixture share their tables: one at a time, also when ctest runs several.
        setup().execute("select pg_advisory_lock(hashtext('GenerateRoundTripTest'))");
        // The column types of the server that values written as text, numbers and dates can fill.
        // (binary values are written 0x..., a literal this server does not read; their text is
        // checked on its own.)
        const QString columns = "id integer, small smallint, big bigint, amount numeric(18,4), ratio double precision, "
                                "single real, flag boolean, stamp timestamp, day date, code char(6), name varchar(4000), "
                                "note text, price money, guid uuid";
        setup().execute("drop table if exists rt_source; drop table if exists rt_copy");
        setup().execute("create table rt_source (" + columns + ")");
        setup().execute("create table rt_copy (" + columns + ")");
        // Texts built to meet the cut points: brackets, blanks, quotes and doubled quotes, line
        // feeds, non-ASCII characters, runs longer than a line.
        const QStringList pieces{"<", ">", " ", "  ", "'", "''", ",", "\n", "é", "日本", "x", "<INSERT", "VALUES(", ">'", "' <"};
        quint32 seed = 20091207;
        auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
        for (int id = 1; id <= Rows; ++id) {
            QString name, note;
            const int nameLength = int(next() % 3500);
            while (name.size() < nameLength)
                name += pieces[int(next() % pieces.size())];
            const int noteLength = int(next() % 2600);
            while (note.size() < noteLength)
                note += pieces[int(next() % pieces.size())];
            if (id % 7 == 0)
                name = QString(1200, ' ') + "end";
            if (id % 11 == 0)
                note = QString(995, 'a') + "<<<<<>>>>>" + QString(995, 'b');
            QString sqlName = name, sqlNote = note;
            sqlName.replace("'", "''");
            sqlNote.replace("'", "''");
            setup().execute(QStringLiteral("insert into rt_source values (%1, %2, %3, %4, %5, %6, %7, '2009-12-07 %8:04:05', "
                                           "'2026-02-%9', 'c%1', '%10', '%11', %12, '6f9619ff-8b86-d011-b42d-00c04fc9%13')")
                                .arg(id)
                                .arg(id % 2 ? -id : id)
                                .arg(qint64(id) * 1000000007LL)
                                .arg(QString::number(id * 12.5, 'f', 4))
                                .arg(id == 1 ? QString("0.1") : QString::number(id / 3.0, 'g', 17))
                                .arg(id * 0.3f, 0, 'g', 9)
                                .arg(id % 3 ? "true" : "false")
                                .arg(id % 24, 2, 10, QChar('0'))
                                .arg(id % 28 + 1, 2, 10, QChar('0'))
                                .arg(sqlName, sqlNote)
                                .arg(id * 1.25)
                                .arg(id, 4, 10, QChar('0')));
        }
    }

    void TearDown() override
    {
        setup().execute("drop table if exists rt_source; drop table if exists rt_copy");
        MgenWindowTest::TearDown();
    }

    // Generates the source table into rt_copy statements of one kind and returns the file's bytes.
    QByteArray generate(int kindAnswer)
    {
        QString written;
        withWindow([&](MgenWindow& w) {
            addQuery(w, "Select * From rt_source Order By id", "rt_copy");
            scripted.answerYesNo(kindAnswer);
            click(cBut(w, MgenWindow::GenerateScriptButton));
            written = w.lastScriptFile();
        });
        EXPECT_FALSE(written.isEmpty());
        return readAll(written);
    }

    // Rows of the two tables that have no equal partner in the other, leaving out rows `except` names.
    long differingRows(const QString& except = "false")
    {
        db::ResultSet diff;
        diff.open("select count(*) from ((select * from rt_source except all select * from rt_copy) union all "
                  "(select * from rt_copy except all select * from rt_source)) d where not (" + except + ")",
                  setup());
        return std::stol(std::string(diff.value(0)));
    }

    void execute(const QStringList& statements)
    {
        setup().execute("delete from rt_copy");
        for (const QString& statement : statements)
            setup().execute(statement);
    }
};

} // namespace

TEST_F(GenerateRoundTripTest, SqlScriptsPutEveryValueBackExactly)
{
    // Carriage returns travel in the SQL kind.
    setup().execute("update rt_source set note = note || E'\\r\\nsecond line\\r' where id % 5 = 0");
    const QByteArray bytes = generate(answer::Yes);
    ASSERT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList statements = sqlStatements(bytes, "rt_copy");
    ASSERT_EQ(statements.size(), Rows);
    // Every line break falls outside quoted values, after a "," or before a blank.
    for (const QString& statement : statements) {
        bool quoted = false;
        for (qsizetype i = 0; i < statement.size(); ++i) {
            const QChar c = statement[i];
            if (c == '\'') {
                quoted = !quoted;
            } else if (c == '\r' && !quoted && statement.mid(i, 2) == "\r\n") {
                EXPECT_TRUE(statement[i - 1] == ',' || (i + 2 < statement.size() && statement[i + 2] == ' '))
                    << statement.mid(std::max<qsizetype>(0, i - 20), 40).toStdString();
            }
        }
    }
    execute(statements);
    EXPECT_EQ(differingRows(), 0);
}

TEST_F(GenerateRoundTripTest, KxScriptsReadBackExactlyInBothReaders)
{
    const QByteArray bytes = generate(answer::No);
    for (const QString& line : crlfLines(bytes))
        EXPECT_LE(line.toUcs4().size(), 1000);

    const QStringList kept = kxStatements(bytes, false);
    ASSERT_EQ(kept.size(), Rows);
    execute(kept);
    EXPECT_EQ(differingRows(), 0);

    // A reader that strips leading blanks cannot get back a run of more than a line of blanks
    // (every seventh row holds one): those rows, and only those, differ, and the user was told.
    const QStringList stripped = kxStatements(bytes, true);
    ASSERT_EQ(stripped.size(), Rows);
    execute(stripped);
    EXPECT_EQ(differingRows("id % 7 = 0"), 0);
    EXPECT_EQ(differingRows(), 2 * (Rows / 7));
    ASSERT_EQ(scripted.messages().size(), 1u);
    EXPECT_TRUE(scripted.messages()[0].text.contains(QString("\n\n%1 statement(s)").arg(Rows / 7)))
        << scripted.messages()[0].text.toStdString();
}

TEST_F(GenerateRoundTripTest, CarriageReturnsInAKxScriptAreCountedInTheCompletionMessage)
{
    setup().execute("update rt_source set note = note || E'\\r' where id <= 3");
    generate(answer::No);
    ASSERT_EQ(scripted.messages().size(), 1u);
    const QString text = scripted.messages()[0].text;
    EXPECT_TRUE(text.contains(" Script Done.\n\n3 value(s) held a carriage return")) << text.toStdString();
    EXPECT_TRUE(text.contains("The SQL kind carries them intact.")) << text.toStdString();
}

TEST_F(GenerateRoundTripTest, NullsBecomeZerosAndEmptyTexts)
{
    setup().execute("delete from rt_source");
    setup().execute("insert into rt_source (id) values (1)");
    const QByteArray bytes = generate(answer::Yes);
    EXPECT_EQ(bytes, "INSERT INTO rt_copy (id,small,big,amount,ratio,single,flag,stamp,day,code,name,note,price,guid) "
                     "VALUES(1,0,0,0,'','',0,'','','','','','','')\r\n");
}
