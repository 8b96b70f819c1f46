#include "ui/FocusKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace zobran {

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Focus moves as Tab and Shift+Tab do, inside the window.
void moveFocus(QWidget* window, bool forward)
{
    QWidget* current = window->focusWidget();
    if (!current)
        return;
    QWidget* next = current;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while (next && next != current
             && !(next->isEnabled() && next->isVisibleTo(window) && (next->focusPolicy() & Qt::TabFocus)
                  && window->isAncestorOf(next)));
    if (next && next != current)
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

} // namespace

FocusKeys::FocusKeys(QWidget* window) : QObject(window), window_(window)
{
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(this);
}

void FocusKeys::selectAllOnFocus(std::vector<QLineEdit*> boxes)
{
    selectAll_ = std::move(boxes);
}

bool FocusKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == window_) {
            // Keys the controls left alone: the window does not close or press a button for them.
            if (isEnter(key) || key == Qt::Key_Escape) {
                event->accept();
                return true;
            }
        } else if (watched == window_->focusWidget()) {
            // Acted on once, for the focused control, after the control has had the key too; a
            // control that moved the focus itself (a button on Up arrow) has done the move.
            if (isEnter(key) || key == Qt::Key_Up) {
                const QPointer<QWidget> window = window_;
                const QPointer<QObject> control = watched;
                const bool forward = isEnter(key);
                QTimer::singleShot(0, this, [window, control, forward] {
                    if (window && control && window->focusWidget() == control)
                        moveFocus(window, forward);
                });
            }
        }
    }
    if (event->type() == QEvent::FocusIn) {
        const auto box = std::find(selectAll_.begin(), selectAll_.end(), watched);
        if (box != selectAll_.end()) {
            QLineEdit* field = *box;
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zobran
