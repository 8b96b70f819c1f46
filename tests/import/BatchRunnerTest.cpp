#include "ImportTestSupport.h"

#include "basics/FileError.h"
#include "basics/StopSource.h"
#include "import/BatchFile.h"
#include "import/BatchRun.h"
#include "import_ui/OsqlOutputWindow.h"
#include "import_ui/ToolOutputView.h"

#include <QElapsedTimer>
#include <thread>

#include <QFileInfo>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::test;

namespace {

class BatchRunnerTest : public ::testing::Test {
protected:
    OsqlArguments arguments(const QString& script) const
    {
        return OsqlArguments{"zobran", "demo2009", "/run/db", "shop_01", script};
    }

    StandInProgramFolder program;
    StopSource stop;
};

} // namespace

TEST_F(BatchRunnerTest, TheBatchFileIsOneLineForItsOwnerOnly)
{
    writeBatchFile("OSQL -U a -P '' -S b -d c -i /x.sql");
    EXPECT_EQ(batchFilePath(), program.batchFile());
    EXPECT_EQ(readBytes(program.batchFile()), "OSQL -U a -P '' -S b -d c -i /x.sql\n");
    EXPECT_EQ(QFileInfo(program.batchFile()).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Replaced, not appended to; a file left readable by others is made anew.
    QFile::setPermissions(program.batchFile(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    writeBatchFile("OSQL second");
    EXPECT_EQ(readBytes(program.batchFile()), "OSQL second\n");
    EXPECT_FALSE(QFileInfo(program.batchFile()).permissions() & QFileDevice::ReadOther);
    deleteBatchFile();
    EXPECT_FALSE(QFile::exists(program.batchFile()));
    deleteBatchFile();
}

TEST_F(BatchRunnerTest, TheToolGetsEveryValueAsOneArgument)
{
    const OsqlArguments tricky{"sa", "", "my server", "shop's", program.path("a b $HOME `x` ; & \".sql")};
    const BatchRunResult result = runOsqlFile(tricky, stop, {});
    EXPECT_FALSE(result.failed()) << result.outcome().toStdString() << result.output.toStdString();
    ASSERT_EQ(program.callArguments().size(), 1u);
    EXPECT_EQ(program.callArguments()[0],
              QStringList({"-U", "sa", "-P", "", "-S", "my server", "-d", "shop's", "-i", tricky.scriptPath}));
}

TEST_F(BatchRunnerTest, FilesRunStrictlyOneAfterTheOtherEachWithItsOwnBatchFile)
{
    for (const char* name : {"one.sql", "two.sql"})
        EXPECT_FALSE(runOsqlFile(arguments(program.path(name)), stop, {}).failed());
    QStringList order;
    for (const QString& line : program.calls())
        if (!line.startsWith("arg["))
            order << line;
    const QString one = program.path("one.sql"), two = program.path("two.sql");
    EXPECT_EQ(order,
              QStringList({"begin " + one, "batch[OSQL -U zobran -P demo2009 -S /run/db -d shop_01 -i " + one + "]",
                           "end " + one, "begin " + two,
                           "batch[OSQL -U zobran -P demo2009 -S /run/db -d shop_01 -i " + two + "]", "end " + two}));
}

TEST_F(BatchRunnerTest, ANonZeroExitStatusIsAFailureAndItsOutputIsKept)
{
    const BatchRunResult ok = runOsqlFile(arguments(program.path("good.sql")), stop, {});
    EXPECT_FALSE(ok.failed());
    EXPECT_EQ(ok.exitStatus, 0);
    EXPECT_TRUE(ok.output.contains("stand-in ran")) << ok.output.toStdString();

    const BatchRunResult failed = runOsqlFile(arguments(program.path("fail.sql")), stop, {});
    EXPECT_TRUE(failed.failed());
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.outcome(), "OSQL ended with exit status 1");
    EXPECT_TRUE(failed.output.contains("Msg 208")) << failed.output.toStdString();
}

TEST_F(BatchRunnerTest, TheToolBesideTheProgramRunsWhateverItsFolderIsCalled)
{
    // A program folder whose name holds ":", and beside it a folder named like its first part,
    // where splitting the name as a search path would look first.
    const auto tool = [](const QString& folder, const QByteArray& says) {
        QDir().mkpath(folder);
        writeBytes(folder + "/OSQL", "#!/bin/sh\necho " + says + " \"$@\"\n");
        QFile::setPermissions(folder + "/OSQL", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    };
    const QString odd = program.path("bin:odd");
    tool(odd, "beside");
    tool(program.path("bin"), "decoy");
    AppPath() = odd;
    const BatchRunResult found = runOsqlFile(arguments(odd + "/a.sql"), stop, {});
    EXPECT_FALSE(found.failed()) << found.outcome().toStdString();
    EXPECT_EQ(found.output, "beside -U zobran -P demo2009 -S /run/db -d shop_01 -i " + odd + "/a.sql\n");

    // Without the tool there, no other one is looked for: the run fails, it is not skipped.
    QFile::remove(odd + "/OSQL");
    const BatchRunResult missing = runOsqlFile(arguments(odd + "/a.sql"), stop, {});
    EXPECT_TRUE(missing.failed());
    EXPECT_EQ(missing.exitStatus, 127);
    EXPECT_FALSE(missing.output.contains("decoy")) << missing.output.toStdString();
}

TEST_F(BatchRunnerTest, TheOutputComesAsItIsPrintedAndShowsInAWindowOfTheProgram)
{
    QWidget owner;
    ToolOutputView view(&owner);
    for (const char* name : {"a.sql", "fail.sql"}) {
        const QString path = program.path(name);
        view.beginRun(path);
        const BatchRunResult result
            = runOsqlFile(arguments(path), stop, [&](const QString& text) { view.appendOutput(text); });
        view.endRun(result.outcome());
    }
    OsqlOutputWindow* window = view.outputWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), &owner);
    EXPECT_EQ(window->text(),
              ">> " + program.path("a.sql") + "\nstand-in ran " + program.path("a.sql")
                  + "\n<< OSQL ended with exit status 0\n>> " + program.path("fail.sql") + "\nstand-in ran "
                  + program.path("fail.sql")
                  + "\nMsg 208, Level 16: Invalid object name 'nowhere'.\n<< OSQL ended with exit status 1\n");
    view.clear();
    EXPECT_EQ(window->text(), "");
}

TEST_F(BatchRunnerTest, AStopEndsTheShellAndTheToolItStartedAtOnce)
{
    // A tool that would print its pid, then hang.
    writeBytes(program.path("OSQL"), "#!/bin/sh\necho \"tool $$\"\nsleep 30\necho never\n");
    QFile::setPermissions(program.path("OSQL"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString printed;
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.requestStop();
    });
    QElapsedTimer clock;
    clock.start();
    const BatchRunResult result
        = runOsqlFile(arguments(program.path("a.sql")), stop, [&](const QString& text) { printed += text; });
    stopper.join();
    EXPECT_LT(clock.elapsed(), 1500) << "terminated, not waited for";
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(result.failed());
    EXPECT_EQ(result.outcome(), "OSQL was ended: the run was stopped");
    ASSERT_TRUE(printed.startsWith("tool ")) << printed.toStdString();
    const QString pid = printed.mid(5).trimmed();
    // Gone, or a zombie its dead parent has left for the system to reap.
    const auto ended = [&] {
        QFile stat("/proc/" + pid + "/stat");
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    EXPECT_TRUE(QTest::qWaitFor(ended, 2000)) << "the tool went with the shell";
    EXPECT_FALSE(printed.contains("never"));
}

TEST_F(BatchRunnerTest, ABatchFileThatCannotBeWrittenRaises)
{
    QDir(program.folder.path()).mkdir("TmExe.bat");
    EXPECT_THROW(runOsqlFile(arguments(program.path("a.sql")), stop, {}), FileError);
    EXPECT_TRUE(program.calls().isEmpty());
}
