#include "ui/ProgramWindow.h"

#include <vector>

namespace zobran {

namespace {

std::vector<QPointer<QWidget>>& keptWindows()
{
    static std::vector<QPointer<QWidget>> windows;
    return windows;
}

} // namespace

void keepProgramWindow(QWidget* window)
{
    keptWindows().emplace_back(window);
}

void destroyProgramWindows()
{
    std::vector<QPointer<QWidget>> windows;
    windows.swap(keptWindows());
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

} // namespace zobran
