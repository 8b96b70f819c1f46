#pragma once

#include "ui/ModalWindow.h"

namespace zobran {

// The Delete Script window.
class MdeleteWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit MdeleteWindow(QWidget* parent = nullptr);
};

} // namespace zobran
