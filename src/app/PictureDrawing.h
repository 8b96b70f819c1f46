#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace zobran {

// Shapes the program's pictures are drawn from.

// A database drum filling r, shaded from the colour base.
void drawCylinder(QPainter& p, const QRectF& r, const QColor& base);

// A filled arrow from one point to its tip.
void drawArrow(QPainter& p, const QPointF& from, const QPointF& tip, qreal thickness, const QColor& color);

// A gear wheel with eight teeth around centre; radius reaches the tips of the teeth.
void drawGear(QPainter& p, const QPointF& centre, qreal radius, const QColor& color);

} // namespace zobran
