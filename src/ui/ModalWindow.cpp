#include "ui/ModalWindow.h"

#include "ui/BusyGuard.h"
#include "ui/Prompts.h"

#include <QCloseEvent>

namespace zobran {

ModalWindow::ModalWindow(QWidget* parent) : QDialog(parent)
{
    setModal(true);
}

int ModalWindow::showModal()
{
    loaded_ = true;
    formLoad();
    return prompts().execModal(*this);
}

void ModalWindow::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        formUnload();
    }
    QDialog::done(result);
}

void ModalWindow::reject()
{
    if (const BusyGuard* guard = busyGuard(); guard && guard->isBusy())
        return;
    QDialog::reject();
}

void ModalWindow::closeEvent(QCloseEvent* event)
{
    // While a run goes on inside a click, a close request waits for the run's end.
    if (const BusyGuard* guard = busyGuard(); guard && guard->refuseClose(event))
        return;
    QDialog::closeEvent(event);
}

} // namespace zobran
