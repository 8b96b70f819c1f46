#include "cli/CliRun.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace zobran::cli {

namespace {

bool statusShown = false;
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 's';
    (void)!::write(signalPipe[1], &c, 1);
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void clearStatus()
{
    if (!statusShown)
        return;
    std::fputs("\r\033[K", stderr);
    statusShown = false;
}

} // namespace

void printProblem(const QString& line)
{
    clearStatus();
    std::fputs(line.toUtf8().append('\n').constData(), stderr);
    std::fflush(stderr);
}

void printLine(const QString& line)
{
    clearStatus();
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

std::optional<int> failedRunStatus(const BackgroundRun::Outcome& outcome, const QString& what,
                                   const std::function<QString()>& reached)
{
    if (outcome.stopped()) {
        printProblem(QStringLiteral("zobran-cli: ") + what + QStringLiteral(" stopped.\n") + reached());
        return 1;
    }
    if (const std::optional<AppError> error = outcome.error()) {
        printProblem(QStringLiteral("zobran-cli: ") + error->description().section(QLatin1Char('\n'), 0, 0));
        return 1;
    }
    return std::nullopt;
}

BackgroundRun::Outcome runWithProgress(BackgroundRun::Work work)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        signalPipe[0] = signalPipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction oldInt {
    }, oldTerm{};
    if (signalPipe[1] >= 0) {
        ::sigaction(SIGINT, &action, &oldInt);
        ::sigaction(SIGTERM, &action, &oldTerm);
    }

    BackgroundRun run;
    BackgroundRun::Outcome outcome;
    const bool showStatus = stderrIsTerminal();
    QObject::connect(&run, &BackgroundRun::status, [&](const QString& text) {
        if (!showStatus)
            return;
        clearStatus();
        if (text.isEmpty())
            return;
        const QString line = text + QStringLiteral("   [") + elapsedText(run.elapsedMs()) + QLatin1Char(']');
        std::fputs(line.left(200).toUtf8().constData(), stderr);
        std::fflush(stderr);
        statusShown = true;
    });
    QObject::connect(&run, &BackgroundRun::finished, [&](const BackgroundRun::Outcome& o) {
        outcome = o;
        QCoreApplication::exit(0);
    });
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (signalPipe[0] >= 0) {
        signalNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, [&] {
            char c = 0;
            while (::read(signalPipe[0], &c, 1) == 1) {}
            printProblem(QStringLiteral("zobran-cli: stopping ..."));
            run.stop();
        });
    }
    run.start(std::move(work));
    QCoreApplication::exec();
    clearStatus();
    if (signalPipe[1] >= 0) {
        ::sigaction(SIGINT, &oldInt, nullptr);
        ::sigaction(SIGTERM, &oldTerm, nullptr);
    }
    return outcome;
}

} // namespace zobran::cli
