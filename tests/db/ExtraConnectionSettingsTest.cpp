#include "db/ExtraConnectionSettings.h"
#include "basics/AppError.h"
#include "db/ConnectionString.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"

#include <QList>
#include <QPair>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::db;

namespace {

using Items = QList<QPair<QString, QString>>;

// How a connection string reads by the ODBC rules: a braced value ends at a "}" that is not doubled,
// "}}" inside it is one "}".
Items readAsOdbc(const QString& s)
{
    Items items;
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype equals = s.indexOf(u'=', i);
        const QString key = s.mid(i, equals - i).trimmed();
        QString value;
        qsizetype j = equals + 1;
        if (j < s.size() && s[j] == u'{') {
            for (++j; j < s.size(); ++j) {
                if (s[j] == u'}' && (j + 1 >= s.size() || s[j + 1] != u'}'))
                    break;
                if (s[j] == u'}')
                    ++j;
                value += s[j];
            }
            ++j; // the closing brace
        } else {
            while (j < s.size() && s[j] != u';')
                value += s[j++];
        }
        items.append({key, value});
        i = j + 1; // past the ";"
    }
    return items;
}

// How FreeTDS reads it: a braced value ends at the first "}" followed by ";" or by the end, and
// "}}" is not undone.
Items readAsFreeTds(const QString& s)
{
    Items items;
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype equals = s.indexOf(u'=', i);
        const QString key = s.mid(i, equals - i).trimmed();
        qsizetype j = equals + 1;
        qsizetype end;
        if (j < s.size() && s[j] == u'{') {
            ++j;
            end = j;
            while (end < s.size() && !(s[end] == u'}' && (end + 1 == s.size() || s[end + 1] == u';')))
                ++end;
            items.append({key, s.mid(j, end - j)});
            ++end;
        } else {
            end = s.indexOf(u';', j) < 0 ? s.size() : s.indexOf(u';', j);
            items.append({key, s.mid(j, end - j)});
        }
        i = end + 1;
    }
    return items;
}

QString refusal(const QString& settings)
{
    try {
        extraSettingsText(settings);
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errnum::InvalidArgument) << settings.toStdString();
        return e.description();
    }
    return {};
}

} // namespace

TEST(ExtraConnectionSettings, PairsAreAppendedWithTheirValuesBracedAsTheOtherValues)
{
    const struct {
        const char* settings;
        const char* appended;
    } cases[] = {
        {"", ""},
        {" ; ", ""},
        {"Encrypt=yes;TrustServerCertificate=yes", ";Encrypt=yes;TrustServerCertificate=yes"},
        {"TDS_Version=7.4", ";TDS_Version=7.4"},
        {" Encrypt = yes ;", ";Encrypt=yes"},
        {"Application Name=month end", ";Application Name=month end"},
        {"App={a;b}", ";App={a;b}"},
        {"App={ padded }", ";App={ padded }"},
        {"App={a{b}", ";App={a{b}"},
        {"App=x=y", ";App=x=y"},
        {"Empty=", ";Empty="},
    };
    for (const auto& c : cases)
        EXPECT_EQ(extraSettingsText(c.settings), c.appended) << c.settings;
}

TEST(ExtraConnectionSettings, KeysThatReachTheDriverServerDatabaseOrLoginAndMalformedTextAreRefused)
{
    const struct {
        const char* settings;
        const char* why; // part of the description
    } cases[] = {
        {"Driver={evil}", "the key \"Driver\" is not allowed here"},
        {"DSN=other", "the key \"DSN\" is not allowed here"},
        {"FileDSN=/tmp/x.dsn", "\"FileDSN\" is not allowed"},
        {"SAVEFILE=/tmp/x.dsn", "\"SAVEFILE\" is not allowed"},
        {"server=evil,1433", "\"server\" is not allowed"},
        {"Serv er=evil", "\"Serv er\" is not allowed"},
        {"Address=10.0.0.1", "\"Address\" is not allowed"},
        {"Port=1", "\"Port\" is not allowed"},
        {"Database=other", "\"Database\" is not allowed"},
        {"Initial Catalog=other", "\"Initial Catalog\" is not allowed"},
        {"UID=sa", "\"UID\" is not allowed"},
        {"User ID=sa", "\"User ID\" is not allowed"},
        {"Pwd=x", "\"Pwd\" is not allowed"},
        {"Encrypt=yes;PASSWORD=x", "\"PASSWORD\" is not allowed"},
        {"Key-x=1", "may hold only letters, digits, blanks and \"_\""},
        {"Clé=1", "may hold only letters"},
        {"=yes", "has no key"},
        {"Encrypt", "\"Encrypt\" is not of the form key=value"},
        {"Ke;y=1", "\"Ke\" is not of the form key=value"},
        {"App=x}", "holds a brace"},
        {"App=x{y", "holds a brace"},
        {"App={open", "never closed"},
        {"App={x}};Server=evil}", "followed by \"}\" instead of \";\""},
        {"App={x}y", "followed by \"y\""},
        {"App=a\nb", "control character"},
        {"Encrypt=yes;encrypt=no", "given twice"},
    };
    for (const auto& c : cases) {
        const QString why = refusal(QString::fromUtf8(c.settings));
        EXPECT_TRUE(why.startsWith("Extra connection settings: ")) << c.settings << ": " << why.toStdString();
        EXPECT_TRUE(why.contains(QString::fromUtf8(c.why))) << c.settings << ": " << why.toStdString();
    }
}

TEST(ExtraConnectionSettings, AHostileValueStaysOneValueForTheOdbcRulesAndForFreeTds)
{
    const QString fixed = odbcConnectionString(SqlServerDriver, "db1,1433", "shop", "sa", "pw");
    const Items expectedFixed{{"Driver", "SQL Server"},
                              {"Server", "db1,1433"},
                              {"Database", "shop"},
                              {"Uid", "sa"},
                              {"Pwd", "pw"}};
    const struct {
        const char* settings;
        const char* value; // what App must read as
    } cases[] = {
        {"App={x;Server=evil,1433}", "x;Server=evil,1433"},
        {"App={x;Driver={evil}", "x;Driver={evil"},
        {"App={;Uid=sa;Pwd=;Database=master;}", ";Uid=sa;Pwd=;Database=master;"},
        {"App={ x; DSN=evil }", " x; DSN=evil "},
    };
    for (const auto& c : cases) {
        const QString full = fixed + extraSettingsText(c.settings);
        for (const Items& read : {readAsOdbc(full), readAsFreeTds(full)}) {
            ASSERT_EQ(read.size(), expectedFixed.size() + 1) << full.toStdString();
            EXPECT_EQ(read.mid(0, expectedFixed.size()), expectedFixed) << full.toStdString();
            EXPECT_EQ(read.last(), (QPair<QString, QString>("App", c.value))) << full.toStdString();
        }
    }
}

TEST(ExtraConnectionSettings, AreRememberedPerServerAndFollowEveryConnectionToIt)
{
    rememberExtraSettings("db1\\sales", "Encrypt=yes;TrustServerCertificate=yes");
    rememberExtraSettings("/var/run/socket dir", "TDS_Version=7.4");
    EXPECT_EQ(rememberedExtraSettings(" DB1\\Sales "), "Encrypt=yes;TrustServerCertificate=yes")
        << "the server is named without regard to case or surrounding blanks";
    EXPECT_EQ(rememberedExtraSettings("/var/run/socket dir"), "TDS_Version=7.4");
    EXPECT_EQ(rememberedExtraSettings("db1"), "");

    EXPECT_THROW(rememberExtraSettings("db1\\sales", "Server=evil"), AppError);
    EXPECT_EQ(rememberedExtraSettings("db1\\sales"), "Encrypt=yes;TrustServerCertificate=yes")
        << "refused settings keep the old ones";

    const QString extras = ";Encrypt=yes;TrustServerCertificate=yes";
    EXPECT_EQ(importConnectionString("db1\\sales", "shop", "sa", "pw"),
              "Driver={SQL Server};Server=db1\\sales;Database=shop;Uid=sa;Pwd=pw" + extras);
    EXPECT_EQ(importServerConnectionString("db1\\sales", "sa", "pw"),
              "Driver={SQL Server};Server=db1\\sales;Uid=sa;Pwd=pw" + extras);
    EXPECT_EQ(importConnectionString("db2", "shop", "sa", "pw"),
              "Driver={SQL Server};Server=db2;Database=shop;Uid=sa;Pwd=pw");

    ConnParams() = {"No Such Driver", "db1\\sales", "shop", "sa", "pw"};
    EXPECT_ANY_THROW(openSharedConnection());
    EXPECT_EQ(ConnString(), "Driver={No Such Driver};Server=db1\\sales;Database=shop;Uid=sa;Pwd=pw" + extras);
    SharedConnection().reset();

    // Settings edited by hand into something refused stop the connection with the reason.
    SaveSetting(SettingsApplication, ExtraSettingsSection, "db3", "Encrypt=yes;Driver={other}");
    try {
        importConnectionString("db3", "shop", "sa", "pw");
        ADD_FAILURE() << "refused settings were used";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.description().contains("\"Driver\" is not allowed")) << e.description().toStdString();
    }
    RemoveSetting(SettingsApplication, ExtraSettingsSection, "db3");

    rememberExtraSettings("db1\\sales", "");
    rememberExtraSettings("/var/run/socket dir", " ");
    EXPECT_EQ(rememberedExtraSettings("db1\\sales"), "");
    EXPECT_EQ(importServerConnectionString("db1\\sales", "sa", "pw"),
              "Driver={SQL Server};Server=db1\\sales;Uid=sa;Pwd=pw");
}
