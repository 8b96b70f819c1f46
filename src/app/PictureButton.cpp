#include "app/PictureButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace zobran {

namespace {

constexpr int PictureSize = 44;
constexpr int PictureTop = 7;
constexpr int CaptionGap = 3;
constexpr int SmallestCaptionPoint = 6;
constexpr int CaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

} // namespace

PictureButton::PictureButton(const QString& name, const QString& caption, const QIcon& picture, QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(name);
    setText(caption);
    setIcon(picture);
    setIconSize(QSize(PictureSize, PictureSize));
    setToolTip(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

QSize PictureButton::sizeHint() const
{
    return {97, 105};
}

void PictureButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    update();
}

void PictureButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    update();
}

// The widget's font, made smaller until the whole caption fits under the picture.
QFont PictureButton::captionFont(const QRect& area) const
{
    QFont font = this->font();
    if (font.pointSize() > 9)
        font.setPointSize(9);
    while (font.pointSize() > SmallestCaptionPoint) {
        const QRect needed = QFontMetrics(font).boundingRect(area, CaptionFlags, text());
        if (needed.width() <= area.width() && needed.height() <= area.height())
            break;
        font.setPointSize(font.pointSize() - 1);
    }
    return font;
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool pressed = isDown() || isChecked();
    const bool hovered = underMouse() && isEnabled();

    // A white face with a raised edge; pressed it sinks and its content moves down by one pixel.
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient white(face.topLeft(), face.bottomLeft());
    white.setColorAt(0, Qt::white);
    white.setColorAt(1,
                     pressed       ? QColor(0xdc, 0xe4, 0xee)
                         : hovered ? QColor(0xef, 0xf5, 0xfc)
                                   : QColor(0xf4, 0xf6, 0xf8));
    p.setPen(QPen(hovered ? QColor(0x4a, 0x86, 0xcf) : QColor(0x8c, 0x96, 0xa3), 1));
    p.setBrush(white);
    p.drawRoundedRect(face, 3, 3);
    if (!pressed) {
        p.setPen(QPen(QColor(0, 0, 0, 40), 1));
        p.drawLine(QPointF(3, height() - 1.5), QPointF(width() - 3, height() - 1.5));
    }
    const int shift = pressed ? 1 : 0;

    const QIcon::Mode mode = !isEnabled() ? QIcon::Disabled : hovered ? QIcon::Active : QIcon::Normal;
    const QRect pictureRect((width() - PictureSize) / 2 + shift, PictureTop + shift, PictureSize, PictureSize);
    icon().paint(&p, pictureRect, Qt::AlignCenter, mode);

    const QRect captionArea(3 + shift, pictureRect.bottom() + CaptionGap + shift, width() - 6,
                            height() - pictureRect.bottom() - CaptionGap - 3);
    p.setFont(captionFont(captionArea));
    p.setPen(isEnabled() ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::ButtonText));
    p.drawText(captionArea, CaptionFlags, text());

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        focus.backgroundColor = Qt::white;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

} // namespace zobran
