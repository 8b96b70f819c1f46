#pragma once

#include <QIcon>
#include <QPixmap>

namespace zobran {

enum class ButtonPicture { GenerateScript, ImportSingle, ImportMulti, DeleteScript, Exit };

// The picture of a main-window button: the desktop theme's icon when the theme has one, otherwise
// the program's own drawing.
QIcon buttonPicture(ButtonPicture which);

// The program's own drawing of a button picture, size by size pixels.
QPixmap drawnButtonPicture(ButtonPicture which, int size);

} // namespace zobran
