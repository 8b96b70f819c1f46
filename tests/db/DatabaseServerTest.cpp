#include "db/Connection.h"
#include "db/DbError.h"
#include "db/ResultSet.h"
#include "db/ResultSetModel.h"
#include "db/odbc/ConnectionInternals.h"
#include "db/odbc/ResultFetcher.h"
#include "db/odbc/WideText.h"
#include "support/TestServer.h"

#include <QCoreApplication>

#include <ctime>

#include <sql.h>
#include <sqlext.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace zobran;
using namespace zobran::db;

namespace {

std::vector<std::string> firstColumn(ResultSet& set)
{
    std::vector<std::string> values;
    for (set.moveFirst(); !set.eof(); set.moveNext())
        values.push_back(set.isNull(0) ? "<null>" : std::string(set.value(0)));
    return values;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection.open(test::testConnectionString(test::privateDatabase()));
        connection.setCursorLocation(CursorLocationClient);
    }

    ResultSet query(const QString& sql)
    {
        ResultSet set;
        set.open(sql, connection);
        set.requery();
        return set;
    }

    Connection connection;
};

} // namespace

TEST_F(DatabaseTest, CatalogQueriesOfTheWindowsRunUnchanged)
{
    Connection shop;
    shop.open(test::testConnectionString("shop_hq"));
    ResultSet tables;
    tables.open("Select Name From sys.Tables Where Name<>'sysdiagrams' Order By Name", shop);
    tables.requery();
    const std::vector<std::string> names = firstColumn(tables);
    EXPECT_NE(std::find(names.begin(), names.end(), "qinv_mt_item"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "qinv_mt_plu"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "sysdiagrams"), names.end());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

    ResultSet columns;
    columns.open(QStringLiteral("Select A.name ") + "From dbo.syscolumns As A "
                     + "Inner Join dbo.sysobjects As B ON A.ID=B.ID " + "Where B.name = N'" + "qinv_mt_plu" + "'",
                 shop);
    columns.requery();
    std::vector<std::string> fields = firstColumn(columns);
    std::sort(fields.begin(), fields.end());
    EXPECT_EQ(fields, (std::vector<std::string>{"itemcode", "plucode"}));

    ResultSet databases;
    databases.open(QStringLiteral("SELECT name from sys.databases where ")
                       + "State=0 and (name <> 'master' and name <> 'tempdb' and name <> 'model' and name <> 'msdb') "
                         "order by name",
                   shop);
    databases.requery();
    std::vector<std::string> listed = firstColumn(databases);
    // The private databases of test processes running alongside come and go; the templates never show.
    std::erase_if(listed,
                  [](const std::string& name) { return test::isPrivateDatabase(QString::fromStdString(name)); });
    EXPECT_EQ(listed, (std::vector<std::string>{"scratch", "shop_01", "shop_02", "shop_hq"}));

    ResultSet deletable;
    deletable.open(
        QStringLiteral(
            "Select Name From sys.Tables Where Name not in ('sysdiagrams','qtil_rpt_set', "
            "'qtil_rpt_receipt','qtil_mt_report','qtil_mt_printergroup','qtil_mt_printermodel','qtil_mt_message',")
            + " 'qtil_mt_language','qtil_mt_device','qtil_mt_devicegroup','qtil_mt_app','qtil_mt_parametersetup','qtil_"
              "mt_parametersetupgroup','qtil_mt_loginscreen',"
            + "'qcor_defaultaccess','qcor_defaulttype','qcor_formlanguage','qcor_mainaccess','qcor_mainmenu','qinv_mt_"
              "defaultbilltype','qclk_mt_defaultbilltype','qwag_mt_defaultaccesslevel',"
            + "'qwag_mt_epftable','qwag_mt_intaxtable','qlist_mt_comboclick','qlist_mt_housekeeping','qlist_mt_layout',"
              "'qlist_mt_loadcombo','qlist_rpt_defaultfield',"
            + "'qlist_rpt_defaultlist','qlist_rpt_defaultmodule','qlist_rpt_set','qlist_rpt_tempfile','qlist_mt_"
              "seabill') Order By Name",
        shop);
    deletable.requery();
    const std::vector<std::string> kept = firstColumn(deletable);
    EXPECT_NE(std::find(kept.begin(), kept.end(), "qinv_mt_item"), kept.end());
    for (const char* hidden : {"qtil_mt_app", "qcor_mainmenu", "sysdiagrams"})
        EXPECT_EQ(std::find(kept.begin(), kept.end(), hidden), kept.end()) << hidden;
}

TEST_F(DatabaseTest, ResultSetKeepsEveryTypeAndText)
{
    connection.execute("drop table if exists rs_types");
    connection.execute("create table rs_types (id integer, small smallint, big bigint, amount numeric(12,3), "
                       "flag boolean, stamp timestamp, name varchar(40), note text, ratio double precision)");
    const QString longText = QString(2500, QChar(u'é')) + "<end>";
    long affected = 0;
    connection.execute("insert into rs_types values (1, -7, 9007199254740993, 12.500, true, '2009-12-07 15:04:05.123', "
                       "'it''s', 'Grüße 日本', 0.1), (2, null, null, null, null, null, null, null, null), "
                       "(3, 5, -1, -0.001, false, '2009-12-07 00:00:00', 'zz', '"
                           + longText + "', 1e20)",
                       &affected);
    EXPECT_EQ(affected, 3);

    ResultSet set = query("select * from rs_types order by id");
    ASSERT_EQ(set.recordCount(), 3);
    ASSERT_EQ(set.fieldCount(), 9);
    EXPECT_EQ(set.field(0).type, SQL_INTEGER);
    EXPECT_EQ(set.field(1).type, SQL_SMALLINT);
    EXPECT_EQ(set.field(2).type, SQL_BIGINT);
    EXPECT_EQ(set.field(3).type, SQL_NUMERIC);
    EXPECT_EQ(set.field(4).type, SQL_BIT);
    EXPECT_EQ(set.field(5).type, SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(set.field(6).name, "name");

    EXPECT_EQ(set.value(2), "9007199254740993");
    EXPECT_EQ(set.value(3), "12.500");
    EXPECT_EQ(set.value(4), "1");
    EXPECT_EQ(set.value(5).substr(0, 19), "2009-12-07 15:04:05");
    EXPECT_EQ(set.value(6), "it's");
    EXPECT_EQ(set.value(7), "Grüße 日本");
    EXPECT_EQ(set.value(8), "0.1");
    set.moveNext();
    for (int f = 1; f < 9; ++f)
        EXPECT_TRUE(set.isNull(f)) << f;
    set.moveNext();
    EXPECT_EQ(set.value(4), "0");
    EXPECT_EQ(QString::fromStdString(std::string(set.value(7))), longText);
    EXPECT_EQ(set.value(8), "1e+20");

    set.setSort("amount Desc");
    EXPECT_EQ(firstColumn(set), (std::vector<std::string>{"1", "3", "2"}));
    set.setSort("amount");
    EXPECT_EQ(firstColumn(set), (std::vector<std::string>{"2", "3", "1"}));

    // Re-reading sees new rows and keeps the sort.
    connection.execute("insert into rs_types (id, amount) values (4, 100)");
    set.requery();
    EXPECT_EQ(set.recordCount(), 4);
    EXPECT_EQ(firstColumn(set), (std::vector<std::string>{"2", "3", "1", "4"}));
}

TEST_F(DatabaseTest, ManyRowsArriveWhole)
{
    ResultSet set = query("select g as n, repeat('x', g % 50) as t from generate_series(1, 20000) as g");
    ASSERT_EQ(set.recordCount(), 20000);
    long sum = 0;
    for (; !set.eof(); set.moveNext()) {
        sum += std::stol(std::string(set.value(0)));
        ASSERT_EQ(set.value(1).size(), static_cast<std::size_t>(std::stol(std::string(set.value(0))) % 50));
    }
    EXPECT_EQ(sum, 20000L * 20001 / 2);
}

TEST_F(DatabaseTest, FailuresCarryTheSqlStateAndClosedObjectsRaise3704)
{
    try {
        connection.execute("insert into no_such_table values (1)");
        FAIL() << "the statement should fail";
    } catch (const DbError& e) {
        EXPECT_EQ(e.sqlState(), "42P01");
        EXPECT_TRUE(e.description().startsWith("42P01")) << e.description().toStdString();
        EXPECT_NE(e.number(), 0);
    }
    ResultSet set;
    EXPECT_THROW(set.open("select * from no_such_table", connection), DbError);
    EXPECT_FALSE(set.isOpen());

    connection.close();
    try {
        connection.execute("select 1");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3704);
    }
    try {
        connection.close();
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3704);
    }
}

TEST_F(DatabaseTest, AResultSetNeverReachesAConnectionThatHasGone)
{
    ResultSet set = query("select 1 as one");
    set.requery(); // reads again while the connection lives
    connection.close();
    try {
        set.requery();
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3704);
    }
}

TEST_F(DatabaseTest, RequeryRightAfterOpeningRunsTheQueryAgain)
{
    connection.execute("create table rq_again (id int)");
    ResultSet set;
    set.open("select count(*) as n from rq_again", connection);
    connection.execute("insert into rq_again values (1)");
    set.requery();
    EXPECT_EQ(set.value(0), "1") << "the rows read at opening were kept";
}

TEST_F(DatabaseTest, AStatementHoldingANulCharacterIsNeverSent)
{
    connection.execute("create table nul_kept (id int)");
    connection.execute("insert into nul_kept values (1), (2)");
    // Cut at the NUL, it would delete every row.
    const QString statement = "delete from nul_kept" + QString(1, QChar(u'\0')) + " where id = 1";
    try {
        connection.execute(statement);
        FAIL() << "sent";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.description().startsWith("22021: The statement holds a NUL character (U+0000) at character 21;"))
            << e.description().toStdString();
    }
    ResultSet set;
    EXPECT_THROW(set.open(statement, connection), DbError);
    ResultSet count = query("select count(*) from nul_kept");
    EXPECT_EQ(firstColumn(count), std::vector<std::string>{"2"});
}

TEST_F(DatabaseTest, ASessionEndedByTheServerIsALostConnection)
{
    ResultSet pid = query("select pg_backend_pid()");
    test::terminateSession(std::stoi(std::string(pid.value(0))));
    // The first failure after the end carries the server's own word, later ones the driver's.
    for (int i = 0; i < 2; ++i) {
        try {
            connection.execute("select 1");
            FAIL() << "ran on a session that has ended";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.isConnectionLost()) << e.description().toStdString();
        }
    }
    // A statement that simply fails is no lost connection.
    Connection other;
    other.open(test::testConnectionString(test::privateDatabase()));
    try {
        other.execute("select * from no_such_table");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_FALSE(e.isConnectionLost()) << e.description().toStdString();
    }
}

TEST(DatabaseLogin, ARefusedLoginIsADatabaseError)
{
    Connection connection;
    QString text = test::testConnectionString("shop_hq");
    text.replace(test::testServer().password, "wrong-pw");
    EXPECT_THROW(connection.open(text), DbError);
    EXPECT_FALSE(connection.isOpen());
}

TEST_F(DatabaseTest, ValuesLongerThanTheDriverAnnouncedArriveWhole)
{
    // An unbounded varchar is announced narrower than the values it may hold.
    ResultSet set = query(
        "select g, repeat(chr(945 + g % 20), 300 * g)::varchar as v from generate_series(1, 12) as g order by g");
    ASSERT_EQ(set.recordCount(), 12);
    for (int g = 1; !set.eof(); set.moveNext(), ++g)
        EXPECT_EQ(QString::fromUtf8(set.value(1).data(), static_cast<qsizetype>(set.value(1).size())),
                  QString(300 * g, QChar(char16_t(945 + g % 20))));
}

namespace {

// The value is the UTF-8 form of `expected`; else where the two part.
::testing::AssertionResult isUtf8Of(std::string_view value, const QString& expected)
{
    const QByteArray wanted = expected.toUtf8();
    const std::string_view want(wanted.constData(), static_cast<std::size_t>(wanted.size()));
    if (value == want)
        return ::testing::AssertionSuccess();
    const auto [got, wantedAt] = std::mismatch(value.begin(), value.end(), want.begin(), want.end());
    const std::size_t at = static_cast<std::size_t>(got - value.begin());
    return ::testing::AssertionFailure() << value.size() << " bytes where " << want.size() << " were expected; "
                                         << "from byte " << at << " on \"" << value.substr(at, 12) << "\" where \""
                                         << want.substr(at, 12) << "\" was expected";
}

// U+1F600 (an emoji) and U+20000 (an ideograph of the CJK extension B): two UTF-16 units each.
const QString Emoji = QString::fromUcs4(U"\U0001F600");
const QString Ideograph = QString::fromUcs4(U"\U00020000");

} // namespace

TEST_F(DatabaseTest, TextBeyondTheBasicPlaneArrivesWholeFromNarrowColumns)
{
    // Narrow columns are fetched many rows at a time into bound buffers.
    ResultSet set = query("select g, (case g when 1 then chr(128512) || 'x' || chr(131072) "
                          "when 2 then repeat(chr(128512) || chr(131072), 10) "
                          "else 'a' || chr(131072) end)::varchar(40) as v "
                          "from generate_series(1, 3) as g order by g");
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.field(1).type, SQL_WVARCHAR);
    EXPECT_EQ(set.value(1), std::string_view("\xF0\x9F\x98\x80x\xF0\xA0\x80\x80"));
    set.moveNext();
    EXPECT_TRUE(isUtf8Of(set.value(1), (Emoji + Ideograph).repeated(10)));
    set.moveNext();
    EXPECT_TRUE(isUtf8Of(set.value(1), "a" + Ideograph));

    // A value that fills its column takes twice as many UTF-16 units as characters: it does not fit
    // the bound buffer, and the result is read again row by row.
    ResultSet full = query("select repeat(chr(128512), 4)::varchar(4) as v union all select 'abcd' order by v");
    ASSERT_EQ(full.recordCount(), 2);
    EXPECT_EQ(full.value(0), "abcd");
    full.moveNext();
    EXPECT_TRUE(isUtf8Of(full.value(0), Emoji.repeated(4)));
}

TEST_F(DatabaseTest, TextBeyondTheBasicPlaneArrivesWholeFromLongColumnsReadInPieces)
{
    // Long text is read in pieces of 32,767 units: 20,000 emoji put the first piece's end between the
    // two halves of one; a leading "a" puts it between two characters.
    ResultSet set = query("select 1 as n, repeat(chr(128512), 20000)::text as v union all "
                          "select 2, 'a' || repeat(chr(131072), 20000) union all "
                          "select 3, repeat(chr(128512) || chr(131072) || 'é', 15000) order by n");
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.field(1).type, SQL_WLONGVARCHAR);
    EXPECT_TRUE(isUtf8Of(set.value(1), Emoji.repeated(20000)));
    set.moveNext();
    EXPECT_TRUE(isUtf8Of(set.value(1), "a" + Ideograph.repeated(20000)));
    set.moveNext();
    EXPECT_TRUE(isUtf8Of(set.value(1), (Emoji + Ideograph + QString::fromUtf8("é")).repeated(15000)));
}

TEST_F(DatabaseTest, FieldsCarryTheDeclaredDecimalDigits)
{
    ResultSet set = query("select timestamp '2009-12-07 15:04:05.123'::timestamp(3) as ms, "
                          "timestamp '2009-12-07 15:04:05'::timestamp(0) as whole, "
                          "timestamp '2009-12-07 15:04:05.123456' as micro, 12.5::numeric(10,2) as amount");
    ASSERT_EQ(set.fieldCount(), 4);
    EXPECT_EQ(set.field(0).type, SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(set.field(0).decimalDigits, 3);
    EXPECT_EQ(set.field(1).decimalDigits, 0);
    EXPECT_EQ(set.field(2).decimalDigits, 6);
    EXPECT_EQ(set.field(3).decimalDigits, 2);
    EXPECT_EQ(set.value(0), "2009-12-07 15:04:05.123");
    EXPECT_EQ(set.value(2), "2009-12-07 15:04:05.123456");
}

TEST_F(DatabaseTest, AQueryRunsOnceEvenWhenItsValuesAreLongerThanAnnounced)
{
    // Values longer than the driver announced must not make the result be read a second time:
    // a query with side effects would act twice.
    const QString sequence = QStringLiteral("once_seq_%1").arg(QCoreApplication::applicationPid());
    connection.execute("drop sequence if exists " + sequence);
    connection.execute("create sequence " + sequence);
    const auto lastValue = [&] {
        ResultSet last;
        last.open("select last_value from " + sequence, connection);
        return std::string(last.value(0));
    };
    const QString sql = "select nextval('" + sequence
        + "') as n, repeat('ab', 700 * g)::varchar as long_text%1 "
          "from generate_series(1, 5) as g";
    // Without and with a long column next to the value that turns out longer.
    for (const QString& more : {QString(), QStringLiteral(", repeat('c', 20000 + g) as longer")}) {
        const std::unique_ptr<ResultSet> set = openStaticResultSet(sql.arg(more), connection);
        ASSERT_EQ(set->recordCount(), 5);
        for (int g = 1; !set->eof(); set->moveNext(), ++g) {
            EXPECT_EQ(set->value(1).size(), 1400u * g);
            if (!more.isEmpty()) {
                EXPECT_EQ(set->value(2), std::string(20000 + g, 'c'));
            }
        }
    }
    EXPECT_EQ(lastValue(), "10") << "a query ran more than once";
    connection.execute("drop sequence " + sequence);
}

TEST_F(DatabaseTest, ValuesFetchedAsNumbersKeepTheDriversText)
{
    // Integers, bits and timestamps arrive as numbers and are written by the program; the text
    // must be the one the driver gives, also for values the plain form cannot stand for.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char today[16];
    std::strftime(today, sizeof today, "%Y-%m-%d", &local);
    const QString sql = QStringLiteral("select v.* from (values "
                                       "(1, '-9223372036854775808'::bigint, '-32768'::smallint, true, '2009-12-07 "
                                       "15:04:05.120'::timestamp, -0.001::numeric), "
                                       "(2, 9223372036854775807, 0, false, '2009-12-07 15:04:05', 12.500), "
                                       "(3, 0, 32767, null, '2009-12-07 00:00:00.000001', 1e-20), "
                                       "(4, null, null, true, 'infinity', 123456789012345678901234567890.123456789), "
                                       "(5, 1, 1, true, '-infinity', null), "
                                       "(6, 1, 1, true, '0044-03-15 10:00:00 BC', 0), "
                                       "(7, 1, 1, true, '%1 00:00:00', 1), "
                                       "(8, 1, 1, true, '%1 00:00:00.5', 1), "
                                       "(9, 1, 1, true, null, 1), "
                                       "(10, 1, 1, true, '12345-01-01 00:00:00.5', 1)"
                                       ") as v(id, big, small, flag, stamp, amount) order by id")
                            .arg(QString::fromLatin1(today));
    ResultSet set = query(sql);
    const std::vector<std::vector<std::string>> expected{
        {"1", "-9223372036854775808", "-32768", "1", "2009-12-07 15:04:05.12", "-0.001"},
        {"2", "9223372036854775807", "0", "0", "2009-12-07 15:04:05", "12.500"},
        {"3", "0", "32767", "<null>", "2009-12-07 00:00:00.000001", "0.00000000000000000001"},
        {"4", "<null>", "<null>", "1", "9999-12-31 23:59:59", "123456789012345678901234567890.123456789"},
        {"5", "1", "1", "1", "9999-01-01 00:00:00 BC", "<null>"},
        {"6", "1", "1", "1", "0044-03-15 10:00:00 BC", "0"},
        {"7", "1", "1", "1", std::string(today) + " 00:00:00", "1"},
        {"8", "1", "1", "1", std::string(today) + " 00:00:00.5", "1"},
        {"9", "1", "1", "1", "<null>", "1"},
        {"10", "1", "1", "1", "0000-00-00 00:00:00", "1"}, // the driver cannot take a five-digit year apart
    };
    ASSERT_EQ(set.recordCount(), static_cast<long>(expected.size()));
    EXPECT_EQ(set.field(4).type, SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(set.field(4).decimalDigits, 6);
    for (const auto& row : expected) {
        for (int f = 0; f < 6; ++f)
            EXPECT_EQ(set.isNull(f) ? "<null>" : std::string(set.value(f)), row[static_cast<std::size_t>(f)])
                << "row " << row[0] << " field " << f;
        set.moveNext();
    }
}

TEST_F(DatabaseTest, AQueryReadIntoASinkGivesTheFieldsFirstThenEveryRowWithItsProgress)
{
    struct Collected : RowSink {
        std::vector<std::string> fields;
        std::vector<std::string> lastValues;
        long rows = 0;
        void begin(const std::vector<FieldInfo>& f) override
        {
            for (const FieldInfo& field : f)
                fields.push_back(field.name);
        }
        void appendRow(const FetchedRow& row) override
        {
            EXPECT_FALSE(fields.empty()) << "the fields come before the rows";
            ++rows;
            lastValues = {std::string(row.value(0)), row.isNull(1) ? "<null>" : std::string(row.value(1))};
        }
    } collected;
    std::vector<std::size_t> progress;
    readQueryRows("select g, case when g % 3 = 0 then null else repeat('v', g % 40) end as t "
                  "from generate_series(1, 5000) as g order by g",
                  connection, collected, [&](std::size_t rows) { progress.push_back(rows); });
    EXPECT_EQ(collected.fields, (std::vector<std::string>{"g", "t"}));
    EXPECT_EQ(collected.rows, 5000);
    EXPECT_EQ(collected.lastValues, (std::vector<std::string>{"5000", std::string(5000 % 40, 'v')}));
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 5000u) << "the progress ends with every row read";

    EXPECT_EQ(countQueryRows("select g from generate_series(1, 1234) as g", connection), 1234);
    try {
        countQueryRows("create temporary table no_rows (a int)", connection);
        FAIL() << "a statement without result columns has no rows to count";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3704);
    }
}

namespace {

// Every value of a result as text ("<null>" for NULL), row by row.
struct AllValues : RowSink {
    std::vector<std::vector<std::string>> rows;
    void appendRow(const FetchedRow& row) override
    {
        std::vector<std::string> values;
        for (int c = 0; c < row.columnCount(); ++c)
            values.push_back(row.isNull(c) ? "<null>" : std::string(row.value(c)));
        rows.push_back(std::move(values));
    }
};

AllValues readWith(Connection& connection, const QString& sql, const ServerInfo& server)
{
    OdbcHandle statement = ConnectionInternals::newStatement(connection);
    const std::vector<SQLWCHAR> text = toSqlWide(sql);
    checked(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR*>(text.data()), SQL_NTS), statement, "SQLExecDirect");
    ResultFetcher fetcher(statement, server);
    AllValues values;
    fetcher.readAll(values);
    return values;
}

} // namespace

TEST_F(DatabaseTest, EveryWayOfReadingGivesTheSameValues)
{
    // In blocks with timestamps as numbers (this server), in blocks with timestamps as the driver's
    // text (a server whose driver writes them otherwise), in blocks of one row (a driver that reads
    // bound cells again only of the row just fetched) and row by row (one that cannot at all): the
    // same text for every value, long ones and NULLs included.
    const QString sql
        = "select g, g * 1000000007::bigint as big, (g % 2 = 0) as even, g / 7.0 as ratio, "
          "(g * 1.25)::numeric(12,3) as amount, "
          "timestamp '2009-12-07 15:04:05.25' + g * interval '1 hour 1 second' as stamp, "
          "case when g % 5 = 0 then null else repeat(chr(945 + g % 20) || 'x''', g * 37) end as long_text, "
          "repeat('v', g % 300)::varchar as short_text, "
          "case when g = 7 then 'infinity'::timestamp end as odd_stamp "
          "from generate_series(1, 700) as g order by g";
    const ServerInfo standIn = connection.serverInfo();
    ASSERT_TRUE(standIn.readsBoundCells && standIn.readsCellsOfBlocks);
    ASSERT_TRUE(standIn.writesTimestampsShortest());
    ServerInfo timestampsAsText = standIn;
    timestampsAsText.dbmsName = QStringLiteral("Another Server");
    ServerInfo rowsOfOne = standIn;
    rowsOfOne.readsCellsOfBlocks = false;
    ServerInfo rowByRow = rowsOfOne;
    rowByRow.readsBoundCells = false;

    const AllValues expected = readWith(connection, sql, standIn);
    ASSERT_EQ(expected.rows.size(), 700u);
    EXPECT_EQ(expected.rows[9][5], "2009-12-08 01:04:15.25");
    EXPECT_EQ(expected.rows[6][8], "9999-12-31 23:59:59");
    EXPECT_EQ(expected.rows[698][6].size(), 699u * 37 * 4); // a Greek letter (2 bytes), "x" and "'"
    EXPECT_EQ(readWith(connection, sql, timestampsAsText).rows, expected.rows);
    EXPECT_EQ(readWith(connection, sql, rowsOfOne).rows, expected.rows);
    EXPECT_EQ(readWith(connection, sql, rowByRow).rows, expected.rows);
}

TEST_F(DatabaseTest, AFailureWhileRowsAreReadEndsTheReadingOnEitherSide)
{
    // The driver fails after the first blocks of rows: the failure reaches the reader.
    struct Counter : RowSink {
        long rows = 0;
        long failAt = -1;
        void appendRow(const FetchedRow&) override
        {
            if (++rows == failAt)
                throw AppError(42, QStringLiteral("the sink gives up"));
        }
    } counter;
    try {
        readQueryRows("select 1 / (g - 4500) from generate_series(1, 5000) as g", connection, counter);
        FAIL() << "the division by zero must be reported";
    } catch (const DbError& e) {
        EXPECT_EQ(e.sqlState(), "22012") << e.description().toStdString();
    }
    EXPECT_LT(counter.rows, 4500);

    // The reading side gives up: the fetching side stops, and the connection serves on.
    counter = Counter();
    counter.failAt = 1000;
    try {
        readQueryRows("select g from generate_series(1, 50000) as g", connection, counter);
        FAIL() << "the sink's failure must come through";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 42);
    }
    EXPECT_EQ(countQueryRows("select g from generate_series(1, 10) as g", connection), 10);
}
