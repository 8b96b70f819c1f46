#pragma once

#include <QPixmap>
#include <QWidget>

namespace zobran {

// The main window's picture panel: a large background picture behind the picture buttons.
class PicturePanel : public QWidget {
    Q_OBJECT
public:
    explicit PicturePanel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize visibleSize() const;

    QPixmap backdrop_; // drawn once per visible size
};

// Draws the background picture over an area of the given size.
QPixmap drawBackdrop(const QSize& size, qreal devicePixelRatio);

} // namespace zobran
