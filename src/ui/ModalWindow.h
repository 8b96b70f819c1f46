#pragma once

#include <QDialog>

namespace zobran {

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

protected:
    virtual void formLoad() {}
    virtual void formUnload() {}

private:
    bool loaded_ = false;
};

} // namespace zobran
