#pragma once

#include "ui/ModalWindow.h"

namespace zobran {

// The multi-database update window.
class TrupdateWindow : public ModalWindow {
    Q_OBJECT
public:
    explicit TrupdateWindow(QWidget* parent = nullptr);
};

} // namespace zobran
