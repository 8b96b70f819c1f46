#include "app/PictureDrawing.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace zobran {

void drawCylinder(QPainter& p, const QRectF& r, const QColor& base)
{
    const qreal lid = r.width() * 0.34;
    QPainterPath body;
    body.moveTo(r.left(), r.top() + lid / 2);
    body.lineTo(r.left(), r.bottom() - lid / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - lid, r.width(), lid), 180, 180);
    body.lineTo(r.right(), r.top() + lid / 2);
    body.closeSubpath();

    QLinearGradient shade(r.left(), 0, r.right(), 0);
    shade.setColorAt(0, base.darker(125));
    shade.setColorAt(0.4, base.lighter(135));
    shade.setColorAt(1, base.darker(145));
    const QPen outline(base.darker(175), qMax<qreal>(1.0, r.width() / 30));
    p.setPen(outline);
    p.setBrush(shade);
    p.drawPath(body);

    // Two bands around the drum.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(base.lighter(160), outline.widthF()));
    const qreal bodyHeight = r.height() - lid;
    for (int band = 1; band <= 2; ++band) {
        const qreal y = r.top() + bodyHeight * band / 3;
        p.drawArc(QRectF(r.left(), y, r.width(), lid), 190 * 16, 160 * 16);
    }

    p.setPen(outline);
    p.setBrush(base.lighter(165));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), lid));
}

void drawArrow(QPainter& p, const QPointF& from, const QPointF& tip, qreal thickness, const QColor& color)
{
    const qreal length = QLineF(from, tip).length();
    const qreal headLength = qMin(length * 0.6, thickness * 1.6);
    const qreal headWidth = thickness * 2.3;
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(-headLength, -headWidth / 2);
    arrow.lineTo(-headLength, -thickness / 2);
    arrow.lineTo(-length, -thickness / 2);
    arrow.lineTo(-length, thickness / 2);
    arrow.lineTo(-headLength, thickness / 2);
    arrow.lineTo(-headLength, headWidth / 2);
    arrow.closeSubpath();

    p.save();
    p.translate(tip);
    p.rotate(-QLineF(from, tip).angle());
    QLinearGradient shade(0, -headWidth / 2, 0, headWidth / 2);
    shade.setColorAt(0, color.lighter(140));
    shade.setColorAt(1, color.darker(120));
    p.setPen(QPen(color.darker(160), qMax<qreal>(1.0, thickness / 7), Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(shade);
    p.drawPath(arrow);
    p.restore();
}

void drawGear(QPainter& p, const QPointF& centre, qreal radius, const QColor& color)
{
    const qreal rim = radius * 0.74;
    QPainterPath wheel;
    wheel.addEllipse(QPointF(0, 0), rim, rim);
    QPainterPath tooth;
    tooth.addRoundedRect(QRectF(-radius * 0.17, -radius, radius * 0.34, radius), radius * 0.06, radius * 0.06);
    for (int i = 0; i < 8; ++i)
        wheel = wheel.united(QTransform().rotate(i * 45.0).map(tooth));
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), radius * 0.3, radius * 0.3);
    wheel = wheel.subtracted(hole);

    p.save();
    p.translate(centre);
    QRadialGradient shade(QPointF(-radius * 0.3, -radius * 0.3), radius * 1.4);
    shade.setColorAt(0, color.lighter(140));
    shade.setColorAt(1, color.darker(125));
    p.setPen(QPen(color.darker(165), qMax<qreal>(1.0, radius / 12)));
    p.setBrush(shade);
    p.drawPath(wheel);
    p.restore();
}

} // namespace zobran
