#include "app/ButtonPictures.h"

#include "app/PictureDrawing.h"

#include <QPainter>
#include <QPainterPath>

namespace zobran {

namespace {

// Every picture is drawn on a 64 by 64 canvas and scaled to the size asked for.
constexpr qreal Canvas = 64.0;

const QColor ScriptBlue(0x3a, 0x6e, 0xa5);
const QColor DatabaseBlue(0x2f, 0x74, 0xc0);
const QColor ImportGreen(0x2e, 0x9e, 0x48);
const QColor GearOrange(0xe0, 0x8a, 0x1e);
const QColor ExitRed(0xd0, 0x3b, 0x2f);

void drawPage(QPainter& p, const QRectF& r, qreal fold)
{
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    QLinearGradient paper(r.topLeft(), r.bottomRight());
    paper.setColorAt(0, Qt::white);
    paper.setColorAt(1, QColor(0xe4, 0xe9, 0xef));
    p.setPen(QPen(QColor(0x7d, 0x8a, 0x99), 1.4));
    p.setBrush(paper);
    p.drawPath(page);

    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    p.setBrush(QColor(0xc9, 0xd2, 0xdc));
    p.drawPath(corner);
}

void drawScriptLines(QPainter& p, qreal left, qreal top, const std::initializer_list<qreal>& widths)
{
    p.setPen(Qt::NoPen);
    qreal y = top;
    bool keyword = true;
    for (qreal width : widths) {
        p.setBrush(keyword ? ScriptBlue : QColor(0x8f, 0xa3, 0xb8));
        p.drawRoundedRect(QRectF(left, y, width, 3.2), 1.4, 1.4);
        y += 6.5;
        keyword = !keyword;
    }
}

void drawGenerateScript(QPainter& p)
{
    drawPage(p, QRectF(10, 4, 38, 52), 11);
    drawScriptLines(p, 16, 16, {22, 16, 24, 12, 18});
    drawGear(p, QPointF(46, 46), 14, GearOrange);
}

void drawImportSingle(QPainter& p)
{
    drawCylinder(p, QRectF(12, 28, 40, 33), DatabaseBlue);
    drawArrow(p, QPointF(32, 2), QPointF(32, 36), 9, ImportGreen);
}

void drawImportMulti(QPainter& p)
{
    drawCylinder(p, QRectF(3, 24, 26, 26), DatabaseBlue.darker(115));
    drawCylinder(p, QRectF(35, 24, 26, 26), DatabaseBlue.darker(115));
    drawArrow(p, QPointF(32, 1), QPointF(32, 40), 8, ImportGreen);
    drawCylinder(p, QRectF(19, 35, 26, 27), DatabaseBlue);
}

void drawDeleteScript(QPainter& p)
{
    const QColor steel(0x7f, 0x8c, 0x99);
    QPainterPath body;
    body.moveTo(15, 19);
    body.lineTo(49, 19);
    body.lineTo(45.5, 60);
    body.lineTo(18.5, 60);
    body.closeSubpath();
    QLinearGradient metal(15, 0, 49, 0);
    metal.setColorAt(0, steel.darker(115));
    metal.setColorAt(0.45, steel.lighter(150));
    metal.setColorAt(1, steel.darker(125));
    p.setPen(QPen(steel.darker(170), 1.4));
    p.setBrush(metal);
    p.drawPath(body);

    p.setPen(QPen(steel.darker(150), 2.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {24.0, 32.0, 40.0})
        p.drawLine(QPointF(x, 25), QPointF(x + (x - 32) * 0.1, 54));

    p.setPen(QPen(steel.darker(170), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(25, 6, 14, 7), 2.5, 2.5);
    QLinearGradient lid(0, 11, 0, 19);
    lid.setColorAt(0, steel.lighter(160));
    lid.setColorAt(1, steel);
    p.setBrush(lid);
    p.drawRoundedRect(QRectF(11, 11, 42, 8), 2.5, 2.5);
}

void drawExit(QPainter& p)
{
    const QColor wood(0xa8, 0x6b, 0x32);
    QLinearGradient daylight(12, 0, 42, 0);
    daylight.setColorAt(0, QColor(0xff, 0xf4, 0xc9));
    daylight.setColorAt(1, QColor(0xff, 0xde, 0x7a));
    p.setPen(QPen(wood.darker(180), 2.4));
    p.setBrush(daylight);
    p.drawRect(QRectF(12, 5, 30, 55));

    QPainterPath door;
    door.moveTo(12, 5);
    door.lineTo(27, 10);
    door.lineTo(27, 57);
    door.lineTo(12, 60);
    door.closeSubpath();
    QLinearGradient panel(12, 0, 27, 0);
    panel.setColorAt(0, wood.darker(120));
    panel.setColorAt(1, wood.lighter(125));
    p.setPen(QPen(wood.darker(180), 1.4));
    p.setBrush(panel);
    p.drawPath(door);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xd0, 0x5c));
    p.drawEllipse(QPointF(23.5, 34), 1.9, 1.9);

    drawArrow(p, QPointF(30, 33), QPointF(62, 33), 9, ExitRed);
}

const char* themeName(ButtonPicture which)
{
    switch (which) {
    case ButtonPicture::GenerateScript:
        return "text-x-script";
    case ButtonPicture::ImportSingle:
        return "document-import";
    case ButtonPicture::ImportMulti:
        return "network-server";
    case ButtonPicture::DeleteScript:
        return "edit-delete";
    case ButtonPicture::Exit:
        return "application-exit";
    }
    return "";
}

} // namespace

QPixmap drawnButtonPicture(ButtonPicture which, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Canvas, size / Canvas);
    switch (which) {
    case ButtonPicture::GenerateScript:
        drawGenerateScript(p);
        break;
    case ButtonPicture::ImportSingle:
        drawImportSingle(p);
        break;
    case ButtonPicture::ImportMulti:
        drawImportMulti(p);
        break;
    case ButtonPicture::DeleteScript:
        drawDeleteScript(p);
        break;
    case ButtonPicture::Exit:
        drawExit(p);
        break;
    }
    return pixmap;
}

QIcon buttonPicture(ButtonPicture which)
{
    const QString name = QLatin1String(themeName(which));
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    QIcon drawn;
    for (int size : {24, 48, 96})
        drawn.addPixmap(drawnButtonPicture(which, size));
    return drawn;
}

} // namespace zobran
