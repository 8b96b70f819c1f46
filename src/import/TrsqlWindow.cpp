#include "import/TrsqlWindow.h"

namespace zobran {

TrsqlWindow::TrsqlWindow(QWidget* parent) : ModalWindow(parent)
{
    setObjectName(QStringLiteral("TRSQL"));
    setWindowTitle(QStringLiteral("ZENTRA Script Update Utility [Ver 7.0 20081111]"));
}

} // namespace zobran
