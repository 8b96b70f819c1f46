#include "import_ui/BatchRunner.h"

#include "basics/AppPath.h"
#include "import/BatchFile.h"
#include "import_ui/OsqlOutputWindow.h"

#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringDecoder>

namespace zobran {

namespace {

// The batch file's one line starts with the name OSQL. The shell that reads it first defines OSQL
// as a function that runs the tool beside the program by its full path, handed over in the
// environment: the name never goes through PATH, so no folder name (one holding ":", say) and no
// OSQL of the current folder can make another program the one that gets the password.
const QString OsqlPathVariable = QStringLiteral("ZOBRAN_OSQL");
const QString ShellScript = QStringLiteral("OSQL() { \"$ZOBRAN_OSQL\" \"$@\"; }; . \"$1\"");

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(OsqlPathVariable, appSubPath(QStringLiteral("OSQL")));
    return environment;
}

// Keeps the last part of a long output.
void keepTail(QString& kept, const QString& more)
{
    kept += more;
    if (kept.size() > 2 * BatchRunner::KeptOutputChars)
        kept = kept.right(BatchRunner::KeptOutputChars);
}

} // namespace

BatchRunner::BatchRunner(QWidget* owner) : owner_(owner) {}

BatchRunner::~BatchRunner() = default;

OsqlOutputWindow* BatchRunner::outputWindow() const
{
    return output_.data();
}

void BatchRunner::clearOutput()
{
    if (output_)
        output_->clear();
}

OsqlOutputWindow& BatchRunner::shownOutputWindow()
{
    if (!output_)
        output_ = new OsqlOutputWindow(owner_);
    return *output_;
}

BatchRunResult BatchRunner::runAndWait(const QString& batchPath, WindowStyle style, const QString& caption)
{
    BatchRunResult result;
    OsqlOutputWindow* shown = nullptr;
    if (style == WindowStyle::NormalFocus) {
        shown = &shownOutputWindow();
        shown->beginRun(caption);
    }

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(childEnvironment());
    QStringDecoder decode(QStringDecoder::Utf8);
    const auto takeOutput = [&] {
        const QString text = decode(process.readAllStandardOutput());
        if (text.isEmpty())
            return;
        keepTail(result.output, text);
        if (shown)
            shown->appendOutput(text);
    };

    QEventLoop loop;
    bool ended = false;
    bool failedToStart = false;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, takeOutput);
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        failedToStart = true;
        ended = true;
        loop.quit();
    });
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), ShellScript, QStringLiteral("sh"), batchPath});
    if (!ended)
        loop.exec();
    takeOutput();

    result.started = !failedToStart;
    if (failedToStart) {
        result.startError = process.errorString();
    } else if (process.state() != QProcess::NotRunning) {
        // The wait was cut short (the program is quitting): the run did not end by itself.
        process.kill();
        process.waitForFinished();
        result.crashed = true;
    } else {
        result.crashed = process.exitStatus() == QProcess::CrashExit;
        result.exitStatus = process.exitCode();
    }
    if (result.output.size() > KeptOutputChars)
        result.output = QStringLiteral("...") + result.output.right(KeptOutputChars);
    if (shown)
        shown->endRun(result.outcome());
    return result;
}

BatchRunResult runOsqlFile(BatchRunner& runner, const OsqlArguments& arguments, WindowStyle style)
{
    const QString batch = batchFilePath();
    writeBatchFile(osqlCommandLine(arguments), batch);
    return runner.runAndWait(batch, style, arguments.scriptPath);
}

} // namespace zobran
