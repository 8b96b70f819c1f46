#include "MgenTestSupport.h"
#include "support/TestServer.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>

using namespace zobran;
using namespace zobran::test;

namespace {

class GenerateRoundTripTest : public MgenWindowTest {
protected:
    static constexpr int Rows = 60;
    // Tables of this process alone: tests run side by side.
    const QString source = QStringLiteral("rt_source_%1").arg(QCoreApplication::applicationPid());
    const QString copy = QStringLiteral("rt_copy_%1").arg(QCoreApplication::applicationPid());

    void SetUp() override
    {
        MgenWindowTest::SetUp();
        // The column types of the server that values written as text, numbers and dates can fill.
        // (binary values are written 0x..., a literal this server does not read; their text is
        // checked on its own.)
        const QString columns
            = "id integer, small smallint, big bigint, amount numeric(18,4), ratio double precision, "
              "single real, flag boolean, stamp timestamp, day date, code char(6), name varchar(4000), "
              "note text, price money, guid uuid";
        setup().execute("drop table if exists " + source + "; drop table if exists " + copy);
        setup().execute("create table " + source + " (" + columns + ")");
        setup().execute("create table " + copy + " (" + columns + ")");
        // Texts built to meet the cut points: brackets, blanks, quotes and doubled quotes, line
        // feeds, non-ASCII characters, runs longer than a line.
        const QStringList pieces{"<", ">",    " ", "  ",      "'",       "''", ",",  "\n",
                                 "é", "日本", "x", "<INSERT", "VALUES(", ">'", "' <"};
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
            setup().execute(
                QStringLiteral("insert into ") + source
                + QStringLiteral(" values (%1, %2, %3, %4, %5, %6, %7, '2009-12-07 %8:04:05', "
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
        setup().execute("drop table if exists " + source + "; drop table if exists " + copy);
        MgenWindowTest::TearDown();
    }

    // Generates the source table into statements for the copy of one kind and returns the file's bytes.
    QByteArray generate(int kindAnswer)
    {
        QString written;
        withWindow([&](MgenWindow& w) {
            addQuery(w, "Select * From " + source + " Order By id", copy);
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
        diff.open("select count(*) from ((select * from " + source + " except all select * from " + copy
                      + ") union all "
                        "(select * from "
                      + copy + " except all select * from " + source + ")) d where not (" + except + ")",
                  setup());
        return std::stol(std::string(diff.value(0)));
    }

    void execute(const QStringList& statements)
    {
        setup().execute("delete from " + copy);
        for (const QString& statement : statements)
            setup().execute(statement);
    }
};

} // namespace

TEST_F(GenerateRoundTripTest, SqlScriptsPutEveryValueBackExactly)
{
    // Carriage returns travel in the SQL kind.
    setup().execute("update " + source + " set note = note || E'\\r\\nsecond line\\r' where id % 5 = 0");
    const QByteArray bytes = generate(answer::Yes);
    ASSERT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList statements = sqlStatements(bytes, copy);
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

TEST_F(GenerateRoundTripTest, KxScriptsReadBackExactly)
{
    const QByteArray bytes = generate(answer::No);
    for (const QString& line : crlfLines(bytes))
        EXPECT_LE(line.toUcs4().size(), 1000);

    // Every row comes back, also those holding a run of more than a line of blanks (every seventh):
    // the program's reader joins a piece exactly as read, blanks and all.
    const QStringList statements = kxStatements(bytes);
    ASSERT_EQ(statements.size(), Rows);
    execute(statements);
    EXPECT_EQ(differingRows(), 0);

    // A reader that drops the blanks at the start of every line gets the same statements, but for
    // those runs: no line can hold one, so it is cut inside the blanks.
    const QStringList blanksDropped = kxStatements(bytes, true);
    ASSERT_EQ(blanksDropped.size(), Rows);
    for (int row = 0; row < Rows; ++row)
        EXPECT_EQ(blanksDropped[row] == statements[row], (row + 1) % 7 != 0) << "id " << row + 1;

    // The closing message counts those statements.
    ASSERT_EQ(scripted.messages().size(), 1u);
    EXPECT_TRUE(scripted.messages()[0].text.contains(QString("\n\n%1 statement(s)").arg(Rows / 7)))
        << scripted.messages()[0].text.toStdString();
}

TEST_F(GenerateRoundTripTest, CarriageReturnsInAKxScriptAreCountedInTheCompletionMessage)
{
    setup().execute("update " + source + " set note = note || E'\\r' where id <= 3");
    generate(answer::No);
    ASSERT_EQ(scripted.messages().size(), 1u);
    const QString text = scripted.messages()[0].text;
    EXPECT_TRUE(text.contains(" Script Done.\n\n3 value(s) held a carriage return")) << text.toStdString();
    EXPECT_TRUE(text.contains("The SQL kind carries them intact.")) << text.toStdString();
}

TEST_F(GenerateRoundTripTest, NullsKeepTheirStandInsOrStayNullAndLoadBack)
{
    setup().execute("delete from " + source);
    setup().execute("insert into " + source + " (id) values (1)");
    const QByteArray bytes = generate(answer::Yes);
    EXPECT_EQ(QString::fromUtf8(bytes),
              "INSERT INTO " + copy
                  + " (id,small,big,amount,ratio,single,flag,stamp,day,code,name,note,price,guid) "
                    "VALUES(1,0,0,0,0,0,0,NULL,NULL,'','','',0,NULL)\r\n");
    execute(sqlStatements(bytes, copy));
    db::ResultSet loaded;
    loaded.open("select small, ratio, price::numeric, flag::int, stamp is null, day is null, guid is null, "
                "name, code from "
                    + copy,
                setup());
    ASSERT_FALSE(loaded.eof());
    EXPECT_EQ(loaded.value(0), "0");
    EXPECT_EQ(loaded.value(1), "0");
    EXPECT_EQ(loaded.value(2), "0.00");
    EXPECT_EQ(loaded.value(3), "0");
    for (int stillNull : {4, 5, 6})
        EXPECT_EQ(loaded.value(stillNull), "1") << stillNull;
    EXPECT_EQ(loaded.value(7), "");
    EXPECT_EQ(loaded.value(8), "      ");
}
