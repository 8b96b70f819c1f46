#include "db/DriverRegistration.h"
#include "basics/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::db;

namespace {

void makeFile(const QString& path, const QByteArray& bytes = {})
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path())) << path.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

const char* const FreeTds = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";
const char* const Vendor17 = "/opt/microsoft/msodbcsql17/lib64/libmsodbcsql-17.10.so.5.1";
const char* const Vendor18 = "/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.3.so.2.1";
const char* const Vendor18Newer = "/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.10.so.1.1";

} // namespace

TEST(DriverRegistration, TheVendorsNewestDriverComesFirstThenFreeTds)
{
    const struct {
        const char* name;
        std::vector<const char*> installed;
        std::vector<QString> expected; // libraries, best first
    } cases[] = {
        {"nothing", {}, {}},
        {"FreeTDS", {FreeTds}, {FreeTds}},
        {"FreeTDS elsewhere", {"/usr/lib/odbc/libtdsodbc.so"}, {"/usr/lib/odbc/libtdsodbc.so"}},
        {"both vendors and FreeTDS", {FreeTds, Vendor17, Vendor18}, {Vendor18, Vendor17, FreeTds}},
        {"two builds of one version", {Vendor18, Vendor18Newer}, {Vendor18Newer, Vendor18}},
    };
    for (const auto& c : cases) {
        QTemporaryDir root;
        for (const char* path : c.installed)
            makeFile(root.path() + path);
        std::vector<QString> found;
        for (const InstalledDriver& driver : installedSqlServerDrivers(root.path()))
            found.push_back(driver.library.mid(root.path().size()));
        EXPECT_EQ(found, c.expected) << c.name;
    }
    QTemporaryDir root;
    makeFile(root.path() + Vendor18);
    makeFile(root.path() + FreeTds);
    const QList<InstalledDriver> drivers = installedSqlServerDrivers(root.path());
    EXPECT_EQ(drivers.value(0).description, "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(drivers.value(1).description, "FreeTDS driver for SQL Server");
}

TEST(DriverRegistration, TheSectionIsReplacedInPlaceAndTheRestOfTheFileKept)
{
    const IniEntries entries{{"Description", "FreeTDS"}, {"Driver", "/lib/tds.so"}};
    const struct {
        const char* name;
        const char* before;
        const char* after;
    } cases[] = {
        {"no file", "", "[SQL Server]\nDescription=FreeTDS\nDriver=/lib/tds.so\n"},
        {"other sections", "# mine\n[Other]\nDriver=/x.so\n",
         "# mine\n[Other]\nDriver=/x.so\n\n[SQL Server]\nDescription=FreeTDS\nDriver=/lib/tds.so\n"},
        {"an earlier registration, any case", "[A]\nx=1\n\n[sql server]\nDriver=/old.so\nSetup=/old.so\n\n[B]\ny=2\n",
         "[A]\nx=1\n\n[SQL Server]\nDescription=FreeTDS\nDriver=/lib/tds.so\n\n[B]\ny=2\n"},
        {"two earlier ones, CR LF", "[SQL Server]\r\nDriver=/a.so\r\n[B]\r\ny=2\r\n[ SQL Server ]\r\nDriver=/b.so\r\n",
         "[SQL Server]\nDescription=FreeTDS\nDriver=/lib/tds.so\n\n[B]\ny=2\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withIniSection(c.before, "SQL Server", entries), c.after) << c.name;
        EXPECT_EQ(iniSection(withIniSection(c.before, "SQL Server", entries), "Sql Server"), entries) << c.name;
    }
    EXPECT_EQ(iniSection("[A]\nx=1\n", "SQL Server"), std::nullopt);
    EXPECT_EQ(iniSection("[SQL Server]\n# note\n Driver = /a.so \n[B]\nDriver=/b.so\n", "SQL Server"),
              (IniEntries{{"Driver", "/a.so"}}));
}

TEST(DriverRegistration, WritesTheUsersListAndSaysWhenTheSystemListTakesPrecedence)
{
    QTemporaryDir folder;
    const QString root = folder.filePath("root");
    const QString userList = folder.filePath("home/.odbcinst.ini");
    const QString systemList = folder.filePath("etc/odbcinst.ini");
    ASSERT_TRUE(QDir().mkpath(folder.filePath("home")));

    EXPECT_THROW(registerSqlServerDriver(root, userList, systemList), AppError) << "no driver installed";
    EXPECT_FALSE(QFile::exists(userList));

    makeFile(root + FreeTds);
    const QString library = root + FreeTds;
    DriverRegistration done = registerSqlServerDriver(root, userList, systemList);
    EXPECT_TRUE(done.inEffect);
    EXPECT_EQ(done.driver.library, library);
    EXPECT_EQ(iniSection(readFile(userList), "SQL Server"),
              (IniEntries{{"Description", "FreeTDS driver for SQL Server"}, {"Driver", library}}));
    EXPECT_TRUE(done.report.contains(userList)) << done.report.toStdString();

    const struct {
        const char* name;
        QString systemText;
        bool inEffect;
    } cases[] = {
        {"system list without it", "[FreeTDS]\nDriver=" + library + "\n", true},
        {"system list names the same library", "[SQL Server]\nDriver=" + library + "\n", true},
        {"system list names another driver", "[SQL Server]\nDriver=/usr/lib/psqlodbcw.so\n", false},
        {"system list has the section without a library", "[sql server]\nDescription=x\n", false},
    };
    for (const auto& c : cases) {
        makeFile(systemList, c.systemText.toUtf8());
        done = registerSqlServerDriver(root, userList, systemList);
        EXPECT_EQ(done.inEffect, c.inEffect) << c.name;
        EXPECT_EQ(done.report.contains("It is not used: " + systemList), !c.inEffect) << c.name;
    }
}
