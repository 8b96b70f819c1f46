// The test database server seen through plain unixODBC calls, as the program's own layer sees it:
// the driver registered as "SQL Server", the catalog views, password checks and the type codes.

#include "support/TestServer.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <stdexcept>
#include <vector>

namespace zobran::test {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

const SQLWCHAR* wide(const QString& text)
{
    return reinterpret_cast<const SQLWCHAR*>(text.utf16());
}

QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    SQLWCHAR state[6] = {};
    SQLWCHAR message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, 1, state, &native, message, 1024, &length)))
        return "no diagnostics";
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(state)) + ' '
        + QString::fromUtf16(reinterpret_cast<const char16_t*>(message));
}

// One connection and one statement, closed on destruction.
class OdbcSession {
public:
    OdbcSession()
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
    }
    ~OdbcSession()
    {
        if (stmt_ != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
        if (connected_)
            SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // Empty on success, else the SQLSTATE and message of the refusal.
    QString connect(const QString& connectionString)
    {
        const SQLRETURN rc = SQLDriverConnectW(dbc_, nullptr, const_cast<SQLWCHAR*>(wide(connectionString)), SQL_NTS,
                                               nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc))
            return diagnostics(SQL_HANDLE_DBC, dbc_);
        connected_ = true;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_);
        return {};
    }

    void execute(const QString& sql)
    {
        SQLFreeStmt(stmt_, SQL_CLOSE);
        if (!SQL_SUCCEEDED(SQLExecDirectW(stmt_, const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS)))
            throw std::runtime_error((sql + ": " + diagnostics(SQL_HANDLE_STMT, stmt_)).toStdString());
    }

    SQLSMALLINT columnType(SQLUSMALLINT column)
    {
        SQLWCHAR name[256];
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeColW(stmt_, column, name, 256, &nameLength, &type, &size, &digits, &nullable);
        return type;
    }

    // Every row of the open result, each value read whole in pieces; NULL reads as a null QString.
    std::vector<QStringList> rows()
    {
        SQLSMALLINT columns = 0;
        SQLNumResultCols(stmt_, &columns);
        std::vector<QStringList> result;
        while (SQL_SUCCEEDED(SQLFetch(stmt_))) {
            QStringList row;
            for (SQLUSMALLINT c = 1; c <= columns; ++c)
                row << value(c);
            result.push_back(row);
        }
        return result;
    }

    QStringList firstColumn(const QString& sql)
    {
        execute(sql);
        QStringList values;
        for (const QStringList& row : rows())
            values << row.value(0);
        return values;
    }

private:
    QString value(SQLUSMALLINT column)
    {
        QString text;
        char16_t buffer[1024];
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(stmt_, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc))
                throw std::runtime_error(diagnostics(SQL_HANDLE_STMT, stmt_).toStdString());
            if (indicator == SQL_NULL_DATA)
                return {};
            const bool more = rc == SQL_SUCCESS_WITH_INFO
                && (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer));
            const qsizetype chars
                = more ? qsizetype(sizeof buffer / sizeof(char16_t)) - 1 : qsizetype(indicator / sizeof(char16_t));
            text.append(QStringView(buffer, chars));
            if (!more)
                break;
        }
        return text.isNull() ? QString("") : text;
    }

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    bool connected_ = false;
};

class TestServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString refusal = session.connect(testConnectionString("shop_hq"));
        ASSERT_TRUE(refusal.isEmpty()) << refusal.toStdString();
    }

    OdbcSession session;
};

TEST(TestServerSetup, ServerEnvNamesTheLoginAndEveryDatabase)
{
    const TestServer& server = testServer();
    EXPECT_EQ(server.login, "zobran");
    EXPECT_LE(server.login.size(), 10);
    EXPECT_LE(server.password.size(), 10);
    EXPECT_EQ(server.databases, QStringList({"shop_hq", "shop_01", "shop_02", "scratch"}));
    EXPECT_EQ(testConnectionString("shop_01"),
              "Driver={SQL Server};Server=" + server.socketDir + ";Database=shop_01;Uid=zobran;Pwd=" + server.password);
}

TEST(TestServerSetup, WrongPasswordIsRefused)
{
    OdbcSession session;
    QString text = testConnectionString("shop_hq");
    text.replace("Pwd=" + testServer().password, "Pwd=wrong2009");
    const QString refusal = session.connect(text);
    EXPECT_FALSE(refusal.isEmpty());
    EXPECT_TRUE(refusal.contains("password authentication failed")) << refusal.toStdString();
}

TEST_F(TestServerTest, TableListShowsTheSuiteTablesByName)
{
    const QStringList tables
        = session.firstColumn("Select Name From sys.Tables Where Name<>'sysdiagrams' Order By Name");
    EXPECT_TRUE(tables.contains("qinv_mt_item"));
    EXPECT_TRUE(tables.contains("qinv_mt_plu"));
    EXPECT_TRUE(tables.contains("qtil_mt_app"));
    EXPECT_FALSE(tables.contains("sysdiagrams"));
    EXPECT_FALSE(tables.contains("tables")) << "catalog views are no user tables";
    QStringList sorted = tables;
    sorted.sort();
    EXPECT_EQ(tables, sorted);

    const QStringList deletable = session.firstColumn(
        "Select Name From sys.Tables Where Name not in ('sysdiagrams','qtil_mt_app','qcor_mainmenu') Order By Name");
    EXPECT_TRUE(deletable.contains("qinv_mt_item"));
    EXPECT_FALSE(deletable.contains("qcor_mainmenu"));
    EXPECT_EQ(deletable.size(), tables.size() - 2);
}

const char* const kColumnsOf = "Select A.name From dbo.syscolumns As A Inner Join dbo.sysobjects As B "
                               "ON A.ID=B.ID Where B.name = N'";

TEST_F(TestServerTest, ColumnListFollowsTheTableDefinition)
{
    EXPECT_EQ(
        session.firstColumn(kColumnsOf + QString("qinv_mt_item'")),
        QStringList({"itemcode", "description", "price", "cost", "active", "created", "qty", "barcode", "remark"}));
    EXPECT_EQ(session.firstColumn(kColumnsOf + QString("qinv_mt_plu'")), QStringList({"itemcode", "plucode"}));
}

TEST(TestServerSetup, LoginOwnsTheDatabasesItWorksIn)
{
    OdbcSession session;
    ASSERT_TRUE(session.connect(testConnectionString(privateDatabase())).isEmpty());
    session.execute("create table zz_owner_check (id integer, gone integer, name varchar(10))");
    session.execute("alter table zz_owner_check drop column gone");
    EXPECT_TRUE(session.firstColumn("Select Name From sys.Tables Order By Name").contains("zz_owner_check"));
    EXPECT_EQ(session.firstColumn(kColumnsOf + QString("zz_owner_check'")), QStringList({"id", "name"}))
        << "dropped columns must not show";
    session.execute("drop table zz_owner_check");
    EXPECT_FALSE(session.firstColumn("Select Name From sys.Tables Order By Name").contains("zz_owner_check"));
}

TEST_F(TestServerTest, DatabaseListHoldsOnlyTheUserDatabases)
{
    // The private databases of test processes running alongside come and go; the templates never show.
    EXPECT_EQ(withoutPrivateDatabases(
                  session.firstColumn("SELECT name from sys.databases where State=0 and (name <> 'master' and "
                                      "name <> 'tempdb' and name <> 'model' and name <> 'msdb') order by name")),
              QStringList({"scratch", "shop_01", "shop_02", "shop_hq"}));
}

TEST(PrivateDatabases, ACopyOfTheShopTemplateIsTheLoginsOwnWithTheSettingsOfAShop)
{
    const QString name = privateDatabase(DatabaseTemplate::Shop);
    EXPECT_TRUE(isPrivateDatabase(name)) << name.toStdString();
    EXPECT_EQ(privateDatabase(DatabaseTemplate::Shop), name) << "one database per template and process";
    EXPECT_NE(privateDatabase(DatabaseTemplate::Empty), name);

    OdbcSession shop;
    ASSERT_TRUE(shop.connect(testConnectionString("shop_hq")).isEmpty());
    OdbcSession copy;
    const QString refusal = copy.connect(testConnectionString(name));
    ASSERT_TRUE(refusal.isEmpty()) << refusal.toStdString();
    EXPECT_EQ(copy.firstColumn("show search_path"), shop.firstColumn("show search_path"));
    EXPECT_EQ(copy.firstColumn("select pg_get_userbyid(datdba) from pg_database where datname = current_database()"),
              QStringList({testServer().login}));
    const QString counts = "select (select count(*) from qinv_mt_item) || '/' || (select count(*) from qinv_mt_plu)";
    EXPECT_EQ(copy.firstColumn(counts), shop.firstColumn(counts));

    // What a test does to its copy stays there.
    copy.execute("delete from qinv_mt_plu");
    copy.execute("drop table qinv_mt_item cascade");
    EXPECT_EQ(copy.firstColumn("select count(*) from qinv_mt_plu"), QStringList({"0"}));
    EXPECT_NE(shop.firstColumn("select count(*) from qinv_mt_plu"), QStringList({"0"}));
    EXPECT_TRUE(shop.firstColumn("Select Name From sys.Tables").contains("qinv_mt_item"));
}

TEST(PrivateDatabases, AnEmptyCopyHoldsOnlyTheCatalogViews)
{
    OdbcSession session;
    ASSERT_TRUE(session.connect(testConnectionString(privateDatabase(DatabaseTemplate::Empty))).isEmpty());
    EXPECT_EQ(session.firstColumn("Select Name From sys.Tables Where Name<>'sysdiagrams' Order By Name"),
              QStringList());
    session.execute("create table zz_mine (id integer)");
    EXPECT_EQ(session.firstColumn(kColumnsOf + QString("zz_mine'")), QStringList({"id"}));
}

TEST(PrivateDatabases, NobodyConnectsToTheTemplates)
{
    for (const QString& name : {testServer().shopTemplate, testServer().emptyTemplate}) {
        EXPECT_FALSE(isPrivateDatabase(name)) << name.toStdString();
        OdbcSession session;
        EXPECT_TRUE(session.connect(testConnectionString(name)).contains("not currently accepting connections"))
            << name.toStdString();
    }
    EXPECT_FALSE(isPrivateDatabase("scratch"));
    EXPECT_FALSE(isPrivateDatabase("zt_12_"));
    EXPECT_EQ(withoutPrivateDatabases({"shop_hq", "zt_123_1", "zt_template_shop", "zt_7_12"}),
              QStringList({"shop_hq", "zt_template_shop"}));
}

TEST_F(TestServerTest, TypesAndValuesComeBackAsTheProgramExpects)
{
    session.execute("select active, remark, itemcode, price, created, qty, description "
                    "from qinv_mt_item where itemcode = 'A004'");
    EXPECT_EQ(session.columnType(1), SQL_BIT);
    EXPECT_EQ(session.columnType(2), SQL_WLONGVARCHAR);
    EXPECT_EQ(session.columnType(3), SQL_WVARCHAR);
    EXPECT_EQ(session.columnType(4), SQL_NUMERIC);
    EXPECT_EQ(session.columnType(5), SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(session.columnType(6), SQL_INTEGER);
    const std::vector<QStringList> rows = session.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "0");
    EXPECT_EQ(rows[0][1].size(), 9000) << "long text must come back whole";
    EXPECT_TRUE(rows[0][1].contains(QString::fromUtf8("Ünïcødé é 乌龙茶")));

    session.execute("select repeat('é', 20000)");
    EXPECT_EQ(session.rows().at(0).at(0), QString(20000, QChar(0xE9)));
}

TEST_F(TestServerTest, SampleItemsKeepQuotesNullsAndForeignText)
{
    session.execute("select itemcode, description, price, active, remark from qinv_mt_item "
                    "where itemcode in ('A001', 'A002', 'A005') order by itemcode");
    const std::vector<QStringList> rows = session.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], QStringList({"A001", "it's", "12.50", "1", "it's the 'best' one"}));
    EXPECT_EQ(rows[1][0], "A002");
    for (qsizetype c = 1; c < rows[1].size(); ++c)
        EXPECT_TRUE(rows[1][c].isNull()) << "column " << c;
    EXPECT_EQ(rows[2][1], QString::fromUtf8("乌龙茶 (oolong tea)"));
}

} // namespace
} // namespace zobran::test
