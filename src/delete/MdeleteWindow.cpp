#include "delete/MdeleteWindow.h"

namespace zobran {

MdeleteWindow::MdeleteWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(QStringLiteral("MDELETE"));
    setWindowTitle(QStringLiteral("Utility - Delete Script"));
}

} // namespace zobran
