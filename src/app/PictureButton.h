#pragma once

#include <QAbstractButton>

namespace zobran {

// A large button of the main window: a picture above a word-wrapped caption on a white face.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(const QString& name, const QString& caption, const QIcon& picture, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QFont captionFont(const QRect& area) const;
};

} // namespace zobran
