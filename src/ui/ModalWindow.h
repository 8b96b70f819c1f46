#pragma once

#include <QDialog>

namespace zobran {

class BusyGuard;

// A window with one program-wide instance that is shown modally: its load handler runs at every
// opening and its unload handler whenever it closes (close button, close box, Escape).
class ModalWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModalWindow(QWidget* parent = nullptr);

    // Runs the load handler, then shows the window modally through the program's prompts.
    int showModal();

    bool isLoaded() const { return loaded_; }

    void done(int result) override;
    // Neither closes the window while its busy guard says a run goes on.
    void reject() override;

protected:
    virtual void formLoad() {}
    virtual void formUnload() {}
    // The guard of a window that runs long work inside a click; none by default.
    virtual const BusyGuard* busyGuard() const { return nullptr; }

    void closeEvent(QCloseEvent* event) override;

private:
    bool loaded_ = false;
};

} // namespace zobran
