#pragma once

#include <QPointer>
#include <QWidget>

namespace zobran {

// Keeps a window until the program ends; destroyProgramWindows() deletes all of them.
void keepProgramWindow(QWidget* window);

// Deletes every program-wide window. The program calls it after its message loop has ended, while
// the application object still exists.
void destroyProgramWindows();

// The one program-wide instance of a window class, created the first time it is asked for and
// reused afterwards.
template <class Window>
Window& programWindow()
{
    static QPointer<Window> instance;
    if (!instance) {
        instance = new Window;
        keepProgramWindow(instance);
    }
    return *instance;
}

} // namespace zobran
