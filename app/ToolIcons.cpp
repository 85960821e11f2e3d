// The palette's icons, drawn with QPainter so that they stay sharp at any size.
#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int IconSize = 24;
const QColor Ink(40, 40, 40);
const QColor BarFill(192, 192, 192);
const QColor ForceRed(200, 30, 30);
const QColor Ground(110, 110, 110);

void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.setPen(QPen(ForceRed, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.setPen(Qt::NoPen);
    p.setBrush(ForceRed);
    p.drawPolygon(QPolygonF({to + d * 1.5, to - d * 5 + n * 3.5, to - d * 5 - n * 3.5}));
}

void Joint(QPainter& p, QPointF c) {
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(c, 2.6, 2.6);
}

// A triangle standing on the ground line under the joint.
void SupportTriangle(QPainter& p) {
    p.setPen(QPen(Ink, 1.4));
    p.setBrush(QColor(235, 235, 235));
    p.drawPolygon(QPolygonF({{12, 6}, {5, 17}, {19, 17}}));
}

void Hatching(QPainter& p, double y) {
    p.setPen(QPen(Ground, 1.2));
    p.drawLine(QPointF(3, y), QPointF(21, y));
    for (double x = 5; x < 21; x += 4)
        p.drawLine(QPointF(x, y + 1), QPointF(x - 3, y + 4));
}

void DrawBar(QPainter& p) {
    p.setPen(QPen(Ink, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 19), QPointF(19, 5));
    p.setPen(QPen(BarFill, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 19), QPointF(19, 5));
    Joint(p, {5, 19});
    Joint(p, {19, 5});
}

void DrawHand(QPainter& p) {
    QPainterPath hand;
    // Four fingers, a thumb and the palm.
    for (int f = 0; f < 4; ++f) {
        const double x = 7 + f * 3.2;
        const double top = f == 0 || f == 3 ? 6.5 : 4.5;
        hand.addRoundedRect(QRectF(x, top, 3, 11 - top + 4), 1.5, 1.5);
    }
    hand.addRoundedRect(QRectF(7, 11, 12.6, 8.5), 3, 3);
    QPainterPath thumb;
    thumb.moveTo(7.5, 15);
    thumb.lineTo(3.5, 11.5);
    thumb.lineTo(5, 10);
    thumb.lineTo(8.5, 12.5);
    hand = hand.united(thumb);
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(250, 220, 180));
    p.drawPath(hand.simplified());
}

void DrawFixedSupport(QPainter& p) {
    SupportTriangle(p);
    Hatching(p, 17);
    Joint(p, {12, 6});
}

// Sliding support: rollers under the triangle; the reaction runs across the rolling direction.
void DrawRollerSupport(QPainter& p, bool reactionInX) {
    p.save();
    if (reactionInX) {
        // Rolls along y, so stands against a wall on the left.
        p.translate(12, 12);
        p.rotate(90);
        p.translate(-12, -12);
    }
    p.setPen(QPen(Ink, 1.4));
    p.setBrush(QColor(235, 235, 235));
    p.drawPolygon(QPolygonF({{12, 5}, {6, 14}, {18, 14}}));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8.5, 16.3), 2, 2);
    p.drawEllipse(QPointF(15.5, 16.3), 2, 2);
    Hatching(p, 18.5);
    Joint(p, {12, 5});
    p.restore();
}

// The pointer arrow of selecting, tilted as on a screen.
void DrawPointer(QPainter& p) {
    p.setPen(QPen(Ink, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF(
        {{7, 3}, {7, 19}, {10.8, 15.4}, {13.6, 21.2}, {16.2, 20}, {13.4, 14.3}, {18.5, 14.3}}));
}

} // namespace

QIcon ToolIcon(TDrawingTool tool) {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (tool) {
    case dtPrut:
        DrawBar(p);
        break;
    case dtMove:
        DrawHand(p);
        break;
    case dtSelect:
        DrawPointer(p);
        break;
    case dtPevnaPod:
        DrawFixedSupport(p);
        break;
    case dtVolPodX:
        DrawRollerSupport(p, true);
        break;
    case dtVolPodY:
        DrawRollerSupport(p, false);
        break;
    case dtForceLeft:
        Joint(p, {5, 12});
        Arrow(p, {5, 12}, {20, 12});
        break;
    case dtForceUp:
        Joint(p, {12, 5});
        Arrow(p, {12, 5}, {12, 20});
        break;
    default:
        break;
    }
    p.end();
    return QIcon(pixmap);
}

namespace {

template <typename Paint> QIcon PaintedIcon(Paint paint) {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

} // namespace

QIcon PenStyleIcon(Qt::PenStyle style) {
    return PaintedIcon([style](QPainter& p) {
        p.setPen(QPen(Ink, 2, style));
        p.drawLine(2, 12, 22, 12);
    });
}

QIcon BrushStyleIcon(Qt::BrushStyle style) {
    return PaintedIcon([style](QPainter& p) {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QBrush(Ink, style));
        p.drawRect(4, 4, 16, 16);
    });
}

QIcon ShapeIcon(TDrawingTool tool) {
    return PaintedIcon([tool](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Ink, 1.6));
        switch (tool) {
        case dtLine:
            p.drawLine(QPointF(4, 20), QPointF(20, 4));
            break;
        case dtRectangle:
            p.drawRect(QRectF(4, 6, 16, 12));
            break;
        case dtEllipse:
            p.drawEllipse(QRectF(3, 6, 18, 12));
            break;
        case dtRoundRect:
            p.drawRoundedRect(QRectF(4, 6, 16, 12), 4, 4);
            break;
        default:
            break;
        }
    });
}

QIcon ColourIcon(const QColor& colour) {
    return PaintedIcon([colour](QPainter& p) {
        p.setPen(QPen(Ink, 1));
        p.setBrush(colour);
        p.drawRect(4, 4, 16, 16);
    });
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        p.setPen(QPen(QColor(0x5a, 0x64, 0x78), 2));
        p.setBrush(QColor(0xf4, 0xf6, 0xfa));
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
        const auto bar = [&](QPointF a, QPointF b, const QColor& core, double width) {
            p.setPen(QPen(QColor(0x28, 0x28, 0x28), width, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a, b);
            p.setPen(QPen(core, width - 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a, b);
        };
        const QPointF a(12, 44), b(52, 44), c(32, 20), m(32, 44);
        bar(a, b, QColor(0xe8, 0x54, 0x1c), 6);
        bar(a, c, QColor(0x3a, 0xa6, 0x3a), 6);
        bar(b, c, QColor(0x3a, 0xa6, 0x3a), 6);
        bar(c, m, QColor(0xf0, 0xc0, 0x20), 5);
        p.setPen(QPen(QColor(0x28, 0x28, 0x28), 1.5));
        p.setBrush(QColor(0xdc, 0xdc, 0xdc));
        p.drawPolygon(QPolygonF({a, {7, 53}, {17, 53}}));
        p.drawPolygon(QPolygonF({b, {47, 51}, {57, 51}}));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(49, 53.5), 1.8, 1.8);
        p.drawEllipse(QPointF(55, 53.5), 1.8, 1.8);
        Arrow(p, {32, 6}, {32, 17});
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(QColor(0x20, 0x50, 0xd0));
        for (const QPointF& joint : {a, b, c, m})
            p.drawEllipse(joint, 3, 3);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
