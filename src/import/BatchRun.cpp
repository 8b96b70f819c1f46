#include "import/BatchRun.h"

#include "basics/AppPath.h"
#include "basics/StopSource.h"
#include "import/BatchFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringDecoder>

#include <csignal>

#include <unistd.h>

namespace zobran {

namespace {

constexpr int PollMs = 50;

// The batch file's one line starts with the name OSQL. The shell that reads it first defines OSQL
// as a function that runs the tool beside the program by its full path, handed over in the
// environment: the name never goes through PATH, so no folder name (one holding ":", say) and no
// OSQL of the current folder can make another program the one that gets the password.
const QString OsqlPathVariable = QStringLiteral("ZOBRAN_OSQL");
const QString ShellScript = QStringLiteral("OSQL() { \"$ZOBRAN_OSQL\" \"$@\"; }; . \"$1\"");

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Beside the program itself, also when its files live in the user's data folder.
    environment.insert(OsqlPathVariable, QDir(AppPath()).filePath(QStringLiteral("OSQL")));
    return environment;
}

// Keeps the last part of a long output.
void keepTail(QString& kept, const QString& more)
{
    kept += more;
    if (kept.size() > 2 * KeptOutputChars)
        kept = kept.right(KeptOutputChars);
}

// Signals the shell's whole process group: the tool it started goes too.
void signalGroup(const QProcess& process, int signal)
{
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), signal);
}

} // namespace

BatchRunResult runBatchFile(const QString& batchPath, const StopSource& stop, const ToolOutput& output)
{
    BatchRunResult result;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(childEnvironment());
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    QStringDecoder decode(QStringDecoder::Utf8);
    const auto takeOutput = [&] {
        const QString text = decode(process.readAllStandardOutput());
        if (text.isEmpty())
            return;
        keepTail(result.output, text);
        if (output)
            output(text);
    };

    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), ShellScript, QStringLiteral("sh"), batchPath});
    if (!process.waitForStarted(-1)) {
        result.startError = process.errorString();
        return result;
    }
    result.started = true;
    QElapsedTimer sinceStop;
    while (!process.waitForFinished(PollMs)) {
        takeOutput();
        if (process.state() == QProcess::NotRunning)
            break;
        if (stop.stopRequested()) {
            if (!sinceStop.isValid()) {
                sinceStop.start();
                result.stopped = true;
                signalGroup(process, SIGTERM);
            } else if (sinceStop.elapsed() >= StopGraceMs) {
                signalGroup(process, SIGKILL);
                process.kill();
            }
        }
    }
    takeOutput();
    result.crashed = result.stopped || process.exitStatus() == QProcess::CrashExit;
    result.exitStatus = process.exitCode();
    if (result.output.size() > KeptOutputChars)
        result.output = QStringLiteral("...") + result.output.right(KeptOutputChars);
    return result;
}

BatchRunResult runOsqlFile(const OsqlArguments& arguments, const StopSource& stop, const ToolOutput& output,
                           const QString& batchPath)
{
    const QString batch = batchPath.isEmpty() ? batchFilePath() : batchPath;
    writeBatchFile(osqlCommandLine(arguments), batch);
    return runBatchFile(batch, stop, output);
}

} // namespace zobran
