#include "MgenTestSupport.h"
#include "support/TestServer.h"

#include <QProcess>

using namespace zobran;
using namespace zobran::test;

namespace {

class CliGenerateTest : public MgenWindowTest {
protected:
    QDir run(const QStringList& args)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ZOBRAN_PASSWORD", testServer().password);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZOBRAN_CLI_PROGRAM),
                      QStringList{"generate", "--server", testServer().socketDir, "--login", testServer().login,
                                  "--database", database(), "--out", out.path()}
                          + args);
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QDir(out.path());
    }

    QTemporaryDir out;
};

} // namespace

TEST_F(CliGenerateTest, TheCommandLineWritesTheWindowsFilesByteForByte)
{
    const QString table = QStringLiteral("cg_%1").arg(QCoreApplication::applicationPid());
    setup().execute("drop table if exists " + table);
    setup().execute("create table " + table
                    + " as select g as id, repeat('v' || g, g * 40) as long_text, g * 1.5 as amount,"
                      " timestamp '2009-12-07 15:04:05.25' + g * interval '1 day' as stamp"
                      " from generate_series(1, 7) g");
    const QString sql = "Select * From " + table + " Order By id";
    for (const auto& [kind, answer] :
         {std::pair{QStringLiteral("sql"), answer::Yes}, std::pair{QStringLiteral("kx"), answer::No}}) {
        SCOPED_TRACE(kind.toStdString());
        QStringList windowFiles;
        withWindow([&](MgenWindow& w) {
            child<QLineEdit>(w, "TxtField_8")->setText("3"); // three records a file
            addQuery(w, sql, table);
            scripted.answerYesNo(answer);
            click(cBut(w, MgenWindow::GenerateScriptButton));
        });
        for (const QString& name : exportFiles())
            windowFiles << program.path() + "/Export/" + name;
        const QDir cli = run({"--query", sql, "--table", table, "--kind", kind, "--limit", "3"});
        const QStringList cliFiles = cli.entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(windowFiles.size(), 3);
        ASSERT_EQ(cliFiles.size(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(cliFiles[i].endsWith(QStringLiteral("-%1.").arg(i + 1) + kind.toUpper()));
            EXPECT_EQ(readAll(cli.filePath(cliFiles[i])), readAll(windowFiles[i])) << i;
        }
        for (const QString& path : windowFiles)
            QFile::remove(path);
        for (const QString& name : cliFiles)
            QFile::remove(cli.filePath(name));
    }
    setup().execute("drop table " + table);
}
