#include "basics/RunStopped.h"
#include "ui/ModalWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace zobran;
using namespace std::chrono_literals;

namespace {

// A window with a box, a button that starts out disabled, a status label and a Stop button.
class RunningWindow : public ModalWindow {
public:
    RunningWindow()
    {
        box = new QLineEdit(this);
        idle = new QPushButton(QStringLiteral("Idle"), this);
        idle->setEnabled(false);
        status = new QLabel(this);
        stop = new QPushButton(QStringLiteral("&Stop"), this);
        setRunControls(stop, status);
    }

    void start(BackgroundRun::Work work)
    {
        startRun(std::move(work), [this](const BackgroundRun::Outcome& o) {
            outcome = o;
            ++ended;
            boxEnabledAtEnd = box->isEnabled();
        });
    }

    QLineEdit* box;
    QPushButton* idle;
    QLabel* status;
    QPushButton* stop;
    BackgroundRun::Outcome outcome;
    int ended = 0;
    bool boxEnabledAtEnd = false;
};

bool endedWithin(RunningWindow& w, int ms)
{
    return QTest::qWaitFor([&] { return w.ended > 0; }, ms);
}

bool stoppedByUser(const BackgroundRun::Outcome& outcome)
{
    try {
        if (outcome.failure)
            std::rethrow_exception(outcome.failure);
    } catch (const RunStopped&) {
        return true;
    } catch (...) {
    }
    return false;
}

} // namespace

TEST(WindowRun, ControlsAreLockedButStopWhileARunGoesAndComeBackAsTheyWere)
{
    RunningWindow w;
    w.show();
    std::atomic<bool> release{false};
    w.start([&](const StopSource&, RunProgress& progress) {
        progress.setStatus(QStringLiteral("working"));
        while (!release)
            std::this_thread::sleep_for(5ms);
    });
    EXPECT_TRUE(w.isBusy());
    EXPECT_FALSE(w.box->isEnabled());
    EXPECT_TRUE(w.stop->isVisible());
    EXPECT_TRUE(w.stop->isEnabled());
    // The status comes with the time taken, while the window's thread stays free.
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.status->text().startsWith("working   [0:0"); }, 2000))
        << w.status->text().toStdString();
    w.close();
    EXPECT_TRUE(w.isVisible()) << "a close request waits for the run";
    release = true;
    ASSERT_TRUE(endedWithin(w, 2000));
    EXPECT_TRUE(w.boxEnabledAtEnd) << "controls are back before the end is shown";
    EXPECT_FALSE(w.idle->isEnabled()) << "a control disabled before stays so";
    EXPECT_FALSE(w.stop->isVisible());
    EXPECT_FALSE(w.outcome.failure);
    EXPECT_FALSE(w.isBusy());
}

TEST(WindowRun, StopAndEscapeEndAWaitingRunOrGiveUpOneThatDoesNotListen)
{
    struct Case {
        const char* how;
        bool listens; // the work looks at the stop
        bool escape;  // Escape instead of the Stop button
    };
    for (const Case c : {Case{"Stop, listening", true, false}, Case{"Escape, listening", true, true},
                         Case{"Stop, deaf", false, false}}) {
        SCOPED_TRACE(c.how);
        RunningWindow w;
        w.show();
        auto deafRelease = std::make_shared<std::atomic<bool>>(false);
        w.start([deafRelease, listens = c.listens](const StopSource& stop, RunProgress&) {
            for (;;) {
                if (listens)
                    stop.throwIfStopRequested();
                else if (*deafRelease)
                    return;
                std::this_thread::sleep_for(5ms);
            }
        });
        QTest::qWait(50);
        const auto stoppedAt = std::chrono::steady_clock::now();
        if (c.escape)
            QTest::keyClick(&w, Qt::Key_Escape);
        else
            QTest::mouseClick(w.stop, Qt::LeftButton);
        ASSERT_TRUE(endedWithin(w, 1500));
        EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 1s) << "control is back within a second";
        EXPECT_TRUE(w.isVisible()) << "Escape during a run stops it and leaves the window";
        EXPECT_TRUE(w.outcome.stopRequested);
        EXPECT_EQ(w.outcome.givenUp, !c.listens);
        EXPECT_EQ(stoppedByUser(w.outcome), c.listens);
        EXPECT_FALSE(w.isBusy());
        if (!c.listens) {
            // The work goes on alone; nothing it does later reaches the window.
            *deafRelease = true;
            QTest::qWait(100);
            EXPECT_EQ(w.ended, 1);
        }
        // A new run works at once.
        w.ended = 0;
        w.start([](const StopSource&, RunProgress&) {});
        ASSERT_TRUE(endedWithin(w, 2000));
        EXPECT_FALSE(w.outcome.failure);
    }
}

TEST(WindowRun, ActionsOfARunReachTheWindowInTheirOrderAndAFailureComesBack)
{
    RunningWindow w;
    QStringList seen;
    w.start([&](const StopSource&, RunProgress& progress) {
        for (int i = 0; i < 50; ++i)
            progress.post([&seen, i] { seen << QString::number(i); });
        throw AppError(5, QStringLiteral("went wrong"));
    });
    ASSERT_TRUE(endedWithin(w, 2000));
    ASSERT_EQ(seen.size(), 50);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[i], QString::number(i));
    try {
        std::rethrow_exception(w.outcome.failure);
        ADD_FAILURE() << "no failure came back";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(), "went wrong");
    }
}

TEST(StopSource, ActionsRunOnceOnAThreadOfTheirOwnAndEndingARegistrationWaitsForThem)
{
    StopSource stop;
    std::atomic<int> cancels{0};
    std::atomic<bool> inAction{false};
    auto registration = stop.onStop([&] {
        inAction = true;
        std::this_thread::sleep_for(200ms); // a driver's cancel that takes its time
        ++cancels;
        inAction = false;
    });
    const auto asked = std::chrono::steady_clock::now();
    stop.requestStop();
    stop.requestStop();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 100ms) << "asking never waits";
    EXPECT_TRUE(stop.stopRequested());
    EXPECT_THROW(stop.throwIfStopRequested(), RunStopped);
    while (!inAction && cancels == 0)
        std::this_thread::sleep_for(1ms);
    registration = StopSource::Registration(); // waits for the running action
    EXPECT_EQ(cancels, 1);
    // Registered after the stop: runs at once.
    std::atomic<bool> late{false};
    {
        auto lateRegistration = stop.onStop([&] { late = true; });
        for (int i = 0; i < 200 && !late; ++i)
            std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(late);
}
