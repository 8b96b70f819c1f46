#pragma once

#include <QElapsedTimer>
#include <QString>

class QCloseEvent;
class QLabel;

namespace zobran {

// A window's guard over a long run inside one click (a generation, an import, a delete): while
// the run goes on, a close request is refused, and the status label is repainted at most every
// RepaintIntervalMs with the window kept painted but no user input taken in between.
class BusyGuard {
public:
    static constexpr qint64 RepaintIntervalMs = 100;

    explicit BusyGuard(QLabel* status = nullptr) : status_(status) {}

    // Marks a run for as long as the returned object lives; runs may nest.
    class Run {
    public:
        explicit Run(BusyGuard& guard) : guard_(guard) { ++guard_.runs_; }
        ~Run() { --guard_.runs_; }
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

    private:
        BusyGuard& guard_;
    };
    [[nodiscard]] Run run() { return Run(*this); }
    bool isBusy() const { return runs_ > 0; }

    // For the window's close handler: true (and the event ignored) while a run goes on.
    bool refuseClose(QCloseEvent* event) const;

    // The status text, shown and repainted at once.
    void showStatus(const QString& text);
    // The status text during a run; the label is repainted when RepaintIntervalMs has passed since
    // the last repaint, and then pending paint events are handled, user input is not.
    void showProgress(const QString& text);
    // True when a progress text would be shown now (saves building texts that nobody sees).
    bool progressDue() const;

private:
    QLabel* status_;
    int runs_ = 0;
    QElapsedTimer sinceRepaint_;
};

} // namespace zobran
