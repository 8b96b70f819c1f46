#pragma once

#include "basics/AppError.h"
#include "basics/RunProgress.h"
#include "basics/StopSource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace zobran {

// Runs one piece of long work (a generation, an import, a delete run, a read) on a thread of its
// own, so the thread that started it (a window's, or the command line's) stays free; that thread
// needs a running event loop, and hears of the work through the signals below.
//
// stop() asks the work to stop: its steps see the stop, and the statement it has in flight is
// cancelled. Work that has not ended GiveUpMs later is given up: finished() comes at once, with
// givenUp set, and the work goes on alone until the server lets it go; nothing it does after that
// is heard. A run given up when its owner goes is left the same way.
class BackgroundRun : public QObject {
    Q_OBJECT
public:
    static constexpr int GiveUpMs = 800;
    static constexpr int StatusIntervalMs = 100;

    using Work = std::function<void(const StopSource& stop, RunProgress& progress)>;

    struct Outcome {
        std::exception_ptr failure; // what the work raised (RunStopped after a stop); null when it ended well
        bool stopRequested = false;
        bool givenUp = false; // the work had not ended when the run was given up
        qint64 elapsedMs = 0;

        // What the work raised, as number and description, when it was not the stop.
        std::optional<AppError> error() const;
        // Stopped by the user, whether the work ended or was given up.
        bool stopped() const { return stopRequested || givenUp; }
    };

    explicit BackgroundRun(QObject* parent = nullptr);
    ~BackgroundRun() override;

    // One run at a time: starting while one goes raises std::logic_error.
    void start(Work work);
    bool isRunning() const { return shared_ != nullptr; }
    void stop();
    qint64 elapsedMs() const { return clock_.isValid() ? clock_.elapsed() : 0; }

    // Whether work this run gave up is still going.
    bool givenUpStillWorking() const;
    // Whether work given up by any run is still going (the program then ends without waiting).
    static bool anyGivenUpStillWorking();

signals:
    // The newest status, at most and at least every StatusIntervalMs while the run goes (the time
    // taken goes on even when the run says nothing new).
    void status(const QString& text);
    void finished(const zobran::BackgroundRun::Outcome& outcome);

private:
    struct Shared;
    void poll();
    void deliver(RunProgress::News news);
    void end(bool givenUp);

    std::shared_ptr<Shared> shared_;
    std::shared_ptr<Shared> givenUp_; // the last work given up
    QTimer poll_;
    QTimer giveUp_;
    QElapsedTimer clock_;
    QElapsedTimer sinceStatus_;
    QString lastStatus_;
    bool statusChanged_ = false;
};

// "12:34" (minutes and seconds) or "1:02:03" for the time a run has taken.
QString elapsedText(qint64 milliseconds);

} // namespace zobran
