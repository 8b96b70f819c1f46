#include "basics/BackgroundRun.h"

#include "basics/RunStopped.h"

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace zobran {

namespace {

std::atomic<int> givenUpWorking{0};

} // namespace

// What the work's thread and the owner share; the thread keeps it alive after a give-up.
struct BackgroundRun::Shared {
    StopSource stop;
    RunProgress progress;
    std::mutex mutex;
    bool ended = false;
    bool givenUp = false;
    std::exception_ptr failure;
};

BackgroundRun::BackgroundRun(QObject* parent) : QObject(parent)
{
    poll_.setInterval(25);
    connect(&poll_, &QTimer::timeout, this, &BackgroundRun::poll);
    giveUp_.setSingleShot(true);
    connect(&giveUp_, &QTimer::timeout, this, [this] { end(true); });
}

BackgroundRun::~BackgroundRun()
{
    if (shared_) {
        shared_->stop.requestStop();
        const std::lock_guard lock(shared_->mutex);
        if (!shared_->ended) {
            shared_->givenUp = true;
            ++givenUpWorking;
        }
    }
}

void BackgroundRun::start(Work work)
{
    if (shared_)
        throw std::logic_error("a run is going already");
    auto shared = std::make_shared<Shared>();
    shared_ = shared;
    clock_.start();
    sinceStatus_.start();
    lastStatus_.clear();
    statusChanged_ = false;
    std::thread([shared, work = std::move(work)] {
        std::exception_ptr failure;
        try {
            work(shared->stop, shared->progress);
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(shared->mutex);
        shared->ended = true;
        shared->failure = failure;
        if (shared->givenUp)
            --givenUpWorking;
    }).detach();
    poll_.start();
}

void BackgroundRun::stop()
{
    if (!shared_ || giveUp_.isActive())
        return;
    shared_->stop.requestStop();
    giveUp_.start(GiveUpMs);
}

bool BackgroundRun::givenUpStillWorking() const
{
    if (!givenUp_)
        return false;
    const std::lock_guard lock(givenUp_->mutex);
    return !givenUp_->ended;
}

bool BackgroundRun::anyGivenUpStillWorking()
{
    return givenUpWorking.load() > 0;
}

void BackgroundRun::poll()
{
    if (!shared_)
        return;
    bool ended = false;
    {
        const std::lock_guard lock(shared_->mutex);
        ended = shared_->ended;
    }
    if (ended) {
        end(false);
        return;
    }
    deliver(shared_->progress.take());
}

void BackgroundRun::deliver(RunProgress::News news)
{
    for (const auto& action : news.actions)
        action();
    if (news.status) {
        statusChanged_ = statusChanged_ || *news.status != lastStatus_;
        lastStatus_ = std::move(*news.status);
    }
    if (sinceStatus_.elapsed() >= StatusIntervalMs || (statusChanged_ && !isRunning())) {
        sinceStatus_.start();
        statusChanged_ = false;
        emit status(lastStatus_);
    }
}

void BackgroundRun::end(bool givenUp)
{
    poll_.stop();
    giveUp_.stop();
    std::shared_ptr<Shared> shared = std::move(shared_);
    shared_.reset();
    Outcome outcome;
    outcome.stopRequested = shared->stop.stopRequested();
    outcome.elapsedMs = clock_.elapsed();
    {
        const std::lock_guard lock(shared->mutex);
        if (!shared->ended && givenUp) {
            shared->givenUp = true;
            ++givenUpWorking;
            outcome.givenUp = true;
            givenUp_ = shared;
        } else {
            outcome.failure = shared->failure;
        }
    }
    // The last news of a run that ended: every action counts, the status shows what it reached.
    if (!outcome.givenUp)
        deliver(shared->progress.take());
    emit finished(outcome);
}

std::optional<AppError> BackgroundRun::Outcome::error() const
{
    if (!failure)
        return std::nullopt;
    try {
        std::rethrow_exception(failure);
    } catch (const RunStopped&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        return toAppError(e);
    } catch (...) {
        return AppError(errnum::InvalidArgument, QStringLiteral("The run failed without saying why."));
    }
}

QString elapsedText(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

} // namespace zobran
