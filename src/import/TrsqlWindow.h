#pragma once

#include "ui/ModalWindow.h"

namespace zobran {

// The single-database import window.
class TrsqlWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit TrsqlWindow(QWidget* parent = nullptr);
};

} // namespace zobran
