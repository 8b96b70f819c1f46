#include "MgenTestSupport.h"
#include "support/TestServer.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace zobran;
using namespace zobran::test;

namespace {

// A comma-decimal locale of our own, made from the system's locale sources into a private folder
// (LOCPATH), so the test needs no locale installed system-wide.
QString makeGermanLocale(const QTemporaryDir& folder)
{
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                     folder.filePath(QStringLiteral("de_DE.UTF-8"))});
    // localedef also exits with 1 for mere warnings: the compiled locale is what counts.
    if (!localedef.waitForFinished(120000) || !QFileInfo(folder.filePath(QStringLiteral("de_DE.UTF-8"))).isDir())
        return QStringLiteral("localedef could not make de_DE.UTF-8 (install Debian's locales package): ")
            + localedef.errorString() + QLatin1Char(' ') + QString::fromLocal8Bit(localedef.readAllStandardError());
    return QString();
}

struct ChildRun {
    QString output;
    QByteArray sql;
    QByteArray kx;
};

// Runs the generation in a process started with the locale, into a program folder of its own.
ChildRun generateIn(const QString& locale, const QString& locpath, const QString& query, const QString& table)
{
    ChildRun run;
    QTemporaryDir folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANG", "LC_ALL", "LC_NUMERIC", "LC_MONETARY", "LC_TIME"})
        environment.insert(QString::fromLatin1(name), locale);
    if (!locpath.isEmpty())
        environment.insert(QStringLiteral("LOCPATH"), locpath);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(ZOBRAN_GENERATE_IN_LOCALE), {folder.path(), QStringLiteral("scratch"), query, table});
    EXPECT_TRUE(child.waitForFinished(120000)) << locale.toStdString();
    run.output = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << locale.toStdString() << ": " << child.readAllStandardError().toStdString();
    const QString files = folder.path() + QStringLiteral("/Export/SQL-20091207-153045-1.");
    run.sql = readAll(files + QStringLiteral("SQL"));
    run.kx = readAll(files + QStringLiteral("KX"));
    return run;
}

} // namespace

TEST(GenerationInAnyLocale, ACommaDecimalLocaleWritesTheSameScriptsAsC)
{
    QTemporaryDir locales;
    const QString failure = makeGermanLocale(locales);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QString source = "loc_item_" + pid;
    const QString copy = "loc_item_copy_" + pid;
    db::Connection setup;
    setup.open(testConnectionString(QStringLiteral("scratch")));
    setup.execute("drop table if exists " + source + "; drop table if exists " + copy);
    setup.execute("create table " + source
                  + " (itemcode varchar(20), price numeric(12,2), cost numeric(14,4), "
                    "ratio double precision, single real, amount money, created timestamp(3), day date, qty integer)");
    setup.execute("create table " + copy + " (like " + source + ")");
    setup.execute("insert into " + source
                  + " values "
                    "('100001', 1.87, 0.7919, 0.1, 2.5, 1234.5, '2009-12-07 15:04:05.123', '2009-12-07', -20), "
                    "('100002', -1234567.89, 1000.0001, -1e-7, 1e20, -0.01, '2009-01-01 08:00:00', '2010-02-28', 0), "
                    "('100003', null, null, null, null, null, null, null, null)");
    const QString query = "Select * From " + source + " Order By itemcode";

    const ChildRun c = generateIn(QStringLiteral("C.UTF-8"), QString(), query, copy);
    const ChildRun german = generateIn(QStringLiteral("de_DE.UTF-8"), locales.path(), query, copy);
    ASSERT_TRUE(german.output.contains("locale=de_DE.UTF-8")) << german.output.toStdString();
    ASSERT_TRUE(german.output.contains("environment decimal point=,")) << german.output.toStdString();

    ASSERT_FALSE(c.sql.isEmpty());
    EXPECT_EQ(german.sql, c.sql);
    EXPECT_EQ(german.kx, c.kx);
    EXPECT_TRUE(german.sql.contains("VALUES(N'100001',1.87,0.7919,'0.1','2.5','1234.50','2009-12-07T15:04:05.123',"
                                    "'2009-12-07',-20)"))
        << german.sql.toStdString();

    // And the script loads back: every value equal, the NULL row as the rules write it.
    for (const QString& statement : sqlStatements(german.sql, copy))
        setup.execute(statement);
    db::ResultSet diff;
    diff.open("select count(*) from ((select * from " + source + " except all select * from " + copy
                  + ") union all "
                    "(select * from "
                  + copy + " except all select * from " + source + ")) d where itemcode <> '100003'",
              setup);
    EXPECT_EQ(diff.value(0), "0");
    setup.execute("drop table " + source + "; drop table " + copy);
}
