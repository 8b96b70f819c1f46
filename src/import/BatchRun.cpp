#include "import/BatchRun.h"

#include "basics/AppPath.h"
#include "basics/StopSource.h"
#include "import/BatchFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringDecoder>

#include <csignal>

#include <unistd.h>

namespace zobran {

namespace {

constexpr int PollMs = 50;

// The child's environment: the program folder first on PATH, so the tool next to the program is
// the one found.
QProcessEnvironment childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString path = environment.value(QStringLiteral("PATH"));
    environment.insert(QStringLiteral("PATH"), path.isEmpty() ? AppPath() : AppPath() + QLatin1Char(':') + path);
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

    process.start(QStringLiteral("/bin/sh"), {batchPath});
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

BatchRunResult runOsqlFile(const OsqlArguments& arguments, const StopSource& stop, const ToolOutput& output)
{
    const QString batch = batchFilePath();
    writeBatchFile(osqlCommandLine(arguments), batch);
    return runBatchFile(batch, stop, output);
}

} // namespace zobran
