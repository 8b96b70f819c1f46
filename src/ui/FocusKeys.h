#pragma once

#include <QObject>

#include <vector>

class QLineEdit;
class QWidget;

namespace zobran {

// The keyboard of the connection windows: Enter moves the focus to the next control and Up arrow
// to the previous one, as Tab and Shift+Tab would, after the focused control has had the key; the
// window itself neither closes on Escape nor presses a button on Enter; a text box selects all its
// text when it gets the focus.
class FocusKeys : public QObject {
    Q_OBJECT
public:
    // Watches window and every control it holds now.
    explicit FocusKeys(QWidget* window);

    // These boxes select all their text when they get the focus.
    void selectAllOnFocus(std::vector<QLineEdit*> boxes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::vector<QLineEdit*> selectAll_;
};

} // namespace zobran
