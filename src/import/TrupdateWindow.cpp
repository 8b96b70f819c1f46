#include "import/TrupdateWindow.h"

namespace zobran {

TrupdateWindow::TrupdateWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(QStringLiteral("TRUPDATE"));
    setWindowTitle(QStringLiteral("Script Update"));
}

} // namespace zobran
