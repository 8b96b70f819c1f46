#include "app/PicturePanel.h"

#include "app/PictureDrawing.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace zobran {

namespace {

// Band of the panel the buttons cover; the motif is drawn below it.
constexpr int ButtonBand = 112;
// Room kept at the bottom for the program's name.
constexpr int TitleBlock = 84;

void drawSheet(QPainter& p, const QRectF& sheet)
{
    QLinearGradient paper(sheet.topLeft(), sheet.bottomRight());
    paper.setColorAt(0, QColor(0xf4, 0xf8, 0xfc));
    paper.setColorAt(1, QColor(0xc8, 0xd8, 0xe8));
    p.setPen(QPen(QColor(0x3c, 0x5f, 0x84), 1.5));
    p.setBrush(paper);
    p.drawRoundedRect(sheet, 6, 6);
    p.setPen(Qt::NoPen);
    const qreal lineHeight = sheet.height() / 14;
    const qreal widths[] = {0.62, 0.48, 0.7, 0.35, 0.55, 0.66, 0.42, 0.58, 0.3, 0.5, 0.64};
    qreal y = sheet.top() + lineHeight * 1.4;
    int line = 0;
    for (qreal width : widths) {
        const qreal indent = (line % 4 == 0) ? 0 : lineHeight * 1.2;
        p.setBrush(line % 4 == 0 ? QColor(0x2f, 0x5f, 0x95) : QColor(0x7d, 0x9c, 0xbd));
        p.drawRoundedRect(
            QRectF(sheet.left() + lineHeight + indent, y, (sheet.width() - 2 * lineHeight) * width, lineHeight * 0.42),
            lineHeight * 0.2, lineHeight * 0.2);
        y += lineHeight;
        ++line;
    }
}

} // namespace

QPixmap drawBackdrop(const QSize& size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));

    // A calm blue gradient, lighter towards the lower right.
    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0, QColor(0x1d, 0x3a, 0x5c));
    sky.setColorAt(0.55, QColor(0x2e, 0x5d, 0x86));
    sky.setColorAt(1, QColor(0x4f, 0x8c, 0xa8));
    p.fillRect(area, sky);

    // A soft glow behind the motif.
    const QPointF glowCentre(area.width() * 0.72, area.height() * 0.62);
    QRadialGradient glow(glowCentre, qMax(area.width(), area.height()) * 0.55);
    glow.setColorAt(0, QColor(255, 255, 255, 46));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(area, glow);

    // The motif: a script sheet whose rows flow as an arrow into a stack of databases, centred in
    // the room between the buttons and the program's name. It is drawn whole and then laid over the
    // gradient half transparent, so overlapping shapes do not show through each other.
    const qreal top = ButtonBand + 12;
    const qreal bottom = area.height() - TitleBlock;
    if (bottom - top >= 80) {
        const qreal unit = qMin((bottom - top) / 230.0, area.width() / 560.0);
        const qreal left = (area.width() - 470 * unit) / 2;
        const qreal middle = (top + bottom) / 2;
        QImage layer(pixmap.size(), QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(devicePixelRatio);
        layer.fill(Qt::transparent);
        QPainter motif(&layer);
        motif.setRenderHint(QPainter::Antialiasing);

        const QRectF sheet(left, middle - 100 * unit, 150 * unit, 200 * unit);
        motif.save();
        motif.translate(sheet.center());
        motif.rotate(-6);
        motif.translate(-sheet.center());
        drawSheet(motif, sheet);
        motif.restore();

        drawArrow(motif, QPointF(sheet.right() + 20 * unit, middle), QPointF(sheet.right() + 120 * unit, middle),
                  18 * unit, QColor(0x9c, 0xd8, 0xa8));
        const QColor drum(0x8c, 0xbf, 0xec);
        const qreal drumLeft = sheet.right() + 142 * unit;
        const qreal drumWidth = 130 * unit;
        for (int level = 2; level >= 0; --level) // lowest first: each drum rests on the one below
            drawCylinder(motif, QRectF(drumLeft, middle - 100 * unit + level * 58 * unit, drumWidth, 84 * unit), drum);
        drawGear(motif, QPointF(drumLeft + drumWidth + 6 * unit, middle + 78 * unit), 32 * unit,
                 QColor(0xf0, 0xb0, 0x5a));
        motif.end();

        p.setOpacity(0.55);
        p.drawImage(QPointF(0, 0), layer);
        p.setOpacity(1);
    }

    // The program's name, quietly in the lower left corner.
    const qreal margin = 18;
    QFont title = p.font();
    title.setBold(true);
    title.setPixelSize(30);
    title.setLetterSpacing(QFont::PercentageSpacing, 115);
    QFont subtitle = p.font();
    subtitle.setPixelSize(12);
    const qreal subtitleTop = area.height() - margin - subtitle.pixelSize() * 1.4;
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawText(QRectF(margin, subtitleTop - 44, area.width(), 42), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("ZOBRAN"));
    p.setFont(subtitle);
    p.setPen(QColor(255, 255, 255, 130));
    p.drawText(QRectF(margin + 2, subtitleTop, area.width(), subtitle.pixelSize() * 1.6), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Generate, import and delete table scripts"));
    return pixmap;
}

PicturePanel::PicturePanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// The panel reaches down to the window's full height, below the status bar; only the part inside
// its parent is seen, and the picture is laid out for that part.
QSize PicturePanel::visibleSize() const
{
    int visibleHeight = height();
    if (parentWidget())
        visibleHeight = qMin(visibleHeight, parentWidget()->height() - y());
    return {width(), qMax(1, visibleHeight)};
}

void PicturePanel::paintEvent(QPaintEvent*)
{
    const QSize size = visibleSize();
    if (backdrop_.deviceIndependentSize().toSize() != size || backdrop_.devicePixelRatio() != devicePixelRatioF())
        backdrop_ = drawBackdrop(size, devicePixelRatioF());
    QPainter p(this);
    p.fillRect(rect(), QColor(0x4f, 0x8c, 0xa8));
    p.drawPixmap(0, 0, backdrop_);
}

} // namespace zobran
