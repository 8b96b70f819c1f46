#pragma once

#include "basics/BackgroundRun.h"
#include "ui/ControlStates.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace zobran {

// A window with one program-wide instance that is shown modally: its load handler runs at every
// opening and its unload handler whenever it closes (close button, close box, Escape).
//
// Long work of the window (a read, a generation, an import, a delete run) is its one run: it goes on
// a thread of its own while the window keeps painting; meanwhile every control of the window but
// its Stop button is disabled, the Stop button shows, Escape stops the run instead of closing the
// window and a close request is refused.
class ModalWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModalWindow(QWidget* parent = nullptr);
    ~ModalWindow() override;

    // Gives the controls back their built state (when the window recorded it), runs the load
    // handler, then shows the window modally through the program's prompts.
    int showModal();

    bool isLoaded() const { return loaded_; }
    bool isBusy() const { return run_.isRunning(); }
    // What Stop does: the run is asked to stop, and given up when it does not end at once.
    void stopRun();

    void done(int result) override;
    void reject() override;

signals:
    // The window's run has ended and its end has been shown: the window takes input again.
    void runEnded();

protected:
    virtual void formLoad() {}
    virtual void formUnload() {}

    // Records the controls as they are now, at the end of building the window: every opening
    // starts from this state, and the load handler sets only what it takes from elsewhere.
    void recordBuiltState() { builtState_.record(*this); }

    // The Stop button (hidden until a run starts) and the label that shows a run's status, with the
    // time it has taken; either may be null.
    void setRunControls(QPushButton* stop, QLabel* status);
    // Starts the window's run; done is called on the window's thread once it has ended (or has
    // been given up), after the controls have come back.
    // The controls in `live` keep taking input during the run.
    void startRun(BackgroundRun::Work work, std::function<void(const BackgroundRun::Outcome&)> done,
                  const std::vector<QWidget*>& live = {});
    BackgroundRun& backgroundRun() { return run_; }
    // The status text as a run shows it: the text and the time taken so far.
    void showRunStatus(const QString& text);

    void closeEvent(QCloseEvent* event) override;

private:
    void lockControls(const std::vector<QWidget*>& live);
    void unlockControls();

    bool loaded_ = false;
    ControlStates builtState_;
    BackgroundRun run_;
    QPointer<QPushButton> stop_;
    QPointer<QLabel> status_;
    std::vector<QPointer<QWidget>> locked_;
    std::function<void(const BackgroundRun::Outcome&)> done_;
};

} // namespace zobran
