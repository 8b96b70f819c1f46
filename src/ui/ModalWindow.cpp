#include "ui/ModalWindow.h"

#include "ui/Prompts.h"

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

} // namespace zobran
