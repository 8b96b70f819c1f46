#include "ui/BusyGuard.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>

namespace zobran {

bool BusyGuard::refuseClose(QCloseEvent* event) const
{
    if (!isBusy())
        return false;
    event->ignore();
    return true;
}

void BusyGuard::showStatus(const QString& text)
{
    if (status_) {
        status_->setText(text);
        status_->repaint();
    }
    sinceRepaint_.start();
}

bool BusyGuard::progressDue() const
{
    return !sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= RepaintIntervalMs;
}

void BusyGuard::showProgress(const QString& text)
{
    if (!progressDue()) {
        if (status_)
            status_->setText(text);
        return;
    }
    const Run running = run();
    showStatus(text);
    // Keep the window painted without letting the user act inside the run.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.start();
}

} // namespace zobran
