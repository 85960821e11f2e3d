// Drawing of bars, supports, loads and joints with QPainter.
#include "Entities.h"

#include "NumberFormat.h"
#include "UMatrix.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

const QColor Black(0, 0, 0);
const QColor LightGrey(192, 192, 192);
const QColor Grey(128, 128, 128);
const QColor Purple(128, 0, 128);
const QColor Blue(0, 0, 255);
const QColor Navy(0, 0, 128);

constexpr int BarOutlineWidth = 5;
constexpr int BarCoreWidth = 3;
constexpr int ArrowWidth = 3;
// Arrow head: side length in pixels and half the opening angle in degrees.
constexpr int ArrowHeadLength = 10;
constexpr double ArrowHeadHalfAngle = 20;
constexpr int JointRadius = 5;
constexpr int LabelFontSize = 7;
// A bar force that rounds to zero at this many decimals is drawn grey.
constexpr double ZeroForceScale = 1e5;

// Pens in the manner of the drawing surface the truss pictures were designed for: round ends.
void setPen(QPainter& canvas, const QColor& colour, int width) {
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    canvas.setPen(pen);
}

const QFont& labelFont() {
    static const QFont font = [] {
        QFont f(QStringLiteral("Arial"), LabelFontSize);
        f.setStyleHint(QFont::SansSerif);
        return f;
    }();
    return font;
}

// Text whose top-left corner is at (x, y), in the painter's current pen colour.
void textOut(QPainter& canvas, int x, int y, const QString& text) {
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(canvas.font(), canvas.device());
    canvas.drawText(x, y + metrics.ascent(), text);
}

void setLabelStyle(QPainter& canvas, const QColor& colour, Qt::BGMode mode) {
    canvas.setBackgroundMode(mode);
    canvas.setFont(labelFont());
    canvas.setPen(colour);
}

int roundToEvenInt(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// A 3-pixel core of the colour in a 1-pixel black outline, between two pixels.
void drawBarLine(QPainter& canvas, QPoint p1, QPoint p2, const QColor& colour) {
    setPen(canvas, Black, BarOutlineWidth);
    canvas.drawLine(p1, p2);
    setPen(canvas, colour, BarCoreWidth);
    canvas.drawLine(p1, p2);
}

} // namespace

int RoundToPixel(long double value) {
    const long double r = std::nearbyint(value);
    if (!(r >= -PixelLimit && r <= PixelLimit))
        throw ERangeError("drawing position outside the 32-bit range");
    return static_cast<int>(r);
}

QPoint MapToPixel(const TViewMapping& view, long double x, long double y) {
    return {RoundToPixel(view.MapX(x)), RoundToPixel(view.MapY(y))};
}

TDrawContext GlobalDrawContext() {
    return {TViewMapping{}, DisplayFlags, EquationStore.Err};
}

void TImageList::Draw(QPainter& canvas, int x, int y, int index) const {
    if (index < 0 || index >= Count())
        return;
    canvas.drawImage(x, y, Images.at(index));
}

bool IsZeroForce(double force) {
    return std::nearbyint(force * ZeroForceScale) == 0;
}

QColor ForceColour(double force, double bound1, double bound2) {
    return ForceColour(force, bound1, bound2, EquationStore.Err);
}

QColor ForceColour(double force, double bound1, double bound2, std::uint8_t err) {
    if (IsZeroForce(force) || err != 0)
        return LightGrey;
    const double m = std::fabs(bound2) > std::fabs(bound1) ? std::fabs(bound2) : std::fabs(bound1);
    const double scale = m == 0 ? 0 : 255 / m;
    const int k = std::clamp(roundToEvenInt(scale * std::fabs(force)), 0, 255);
    if (force > 0)
        return QColor(255, 255 - k, 0);
    return QColor(255 - k, 255, 0);
}

void DrawPrutLine(QPainter& canvas, int x1, int y1, int x2, int y2, double force, double bound1,
                  double bound2) {
    drawBarLine(canvas, QPoint(x1, y1), QPoint(x2, y2), ForceColour(force, bound1, bound2));
}

void DrawArrow(QPainter& canvas, QPoint p, QPoint q, const QColor& colour) {
    setPen(canvas, colour, ArrowWidth);
    canvas.drawLine(p, q);
    const long double beta =
        q.x() == p.x()
            ? 0
            : RadToDeg(std::atan(static_cast<long double>(q.y() - p.y()) / (q.x() - p.x())));
    long double alpha = 0;
    if (q.x() > p.x())
        alpha = q.y() == p.y() ? 0 : (q.y() < p.y() ? -beta : 360 - beta);
    else if (q.x() < p.x())
        alpha = q.y() == p.y() ? 180 : 180 - beta;
    else
        alpha = q.y() < p.y() ? 90 : (q.y() > p.y() ? 270 : 0);
    const QPoint c1(
        RoundToPixel(q.x() - ArrowHeadLength * std::cos(DegToRad(alpha - ArrowHeadHalfAngle))),
        RoundToPixel(q.y() + ArrowHeadLength * std::sin(DegToRad(alpha - ArrowHeadHalfAngle))));
    const QPoint c2(
        RoundToPixel(q.x() - ArrowHeadLength * std::cos(DegToRad(alpha + ArrowHeadHalfAngle))),
        RoundToPixel(q.y() + ArrowHeadLength * std::sin(DegToRad(alpha + ArrowHeadHalfAngle))));
    setPen(canvas, colour, 1);
    canvas.setBrush(colour);
    canvas.drawPolygon(QPolygon({q, c1, c2}));
}

void DrawSilaArrow(QPainter& canvas, int x, int y, double length, double angle) {
    DrawSilaArrow(canvas, TViewMapping{}, x, y, length, angle);
}

void DrawSilaArrow(QPainter& canvas, const TViewMapping& view, int x, int y, double length,
                   double angle) {
    const long double a = DegToRad(angle);
    const QPoint tip = MapToPixel(view, x + length * std::cos(a), y + length * std::sin(a));
    DrawArrow(canvas, MapToPixel(view, x, y), tip, Purple);
}

void DrawStycnikDot(QPainter& canvas, int x, int y) {
    canvas.setBrush(Blue);
    setPen(canvas, Navy, 1);
    canvas.drawEllipse(QRect(x - JointRadius, y - JointRadius, 2 * JointRadius, 2 * JointRadius));
}

void DrawPodperaImage(QPainter& canvas, const TImageList& images, int x, int y, TFixedSet fixed,
                      std::uint8_t /*kv: kept with the support, not drawn*/) {
    int index = -1;
    if ((fixed & P_X) && (fixed & P_Y))
        index = 0;
    else if (fixed & P_Y)
        index = 1;
    else if (fixed & P_X)
        index = 2;
    if (index >= 0)
        images.Draw(canvas, x - SupportImageSize / 2, y - SupportImageSize / 2, index);
}

void TPrut::Draw(QPainter& canvas, double bound1, double bound2) const {
    Draw(canvas, bound1, bound2, GlobalDrawContext());
}

void TPrut::Draw(QPainter& canvas, double bound1, double bound2,
                 const TDrawContext& context) const {
    const TViewMapping& view = context.View;
    drawBarLine(canvas, MapToPixel(view, Sa_X, Sa_Y), MapToPixel(view, Sb_X, Sb_Y),
                ForceColour(Sila, bound1, bound2, context.Err));
    setLabelStyle(canvas, Grey, Qt::TransparentMode);
    QString label;
    if (context.Flags & dfPrutName)
        label = QStringLiteral("S") + QString::number(Number) + QStringLiteral(" ");
    if (context.Flags & dfPrutForce)
        label += context.Err == 0
                     ? QStringLiteral("(") + FormatDecimals(Sila, 1) + QStringLiteral(")")
                     : QStringLiteral("(?)");
    // The label's place is the bar's middle in drawing units, its offset in pixels.
    // Halved in 64 bits, truncated as ever: the ends may lie the whole 32-bit range apart.
    auto half = [](std::int64_t a, std::int64_t b) { return a + (b - a) / 2; };
    const QPoint middle = MapToPixel(view, half(Sa_X, Sb_X), half(Sa_Y, Sb_Y));
    textOut(canvas, middle.x() - 5, middle.y() + 2, label);
}

void TPodpera::Draw(QPainter& canvas, const TImageList& images) const {
    Draw(canvas, images, TViewMapping{});
}

void TPodpera::Draw(QPainter& canvas, const TImageList& images, const TViewMapping& view) const {
    const QPoint p = MapToPixel(view, X, Y);
    DrawPodperaImage(canvas, images, p.x(), p.y(), Fixed, Kv);
}

void TSila::Draw(QPainter& canvas) const {
    Draw(canvas, GlobalDrawContext());
}

void TSila::Draw(QPainter& canvas, const TDrawContext& context) const {
    DrawSilaArrow(canvas, context.View, X, Y, Sila, Uhel);
    setLabelStyle(canvas, Purple, Qt::TransparentMode);
    if (context.Flags & dfPrutForce) {
        // 2 pixels beyond the tip, whatever the scale.
        const long double a = DegToRad(Uhel);
        const double reach = Sila + 2 / context.View.Scale;
        const QPoint p = MapToPixel(context.View, X + std::cos(a) * reach, Y + std::sin(a) * reach);
        textOut(canvas, p.x(), p.y(), FormatDecimals(Sila, 0));
    }
}

void TStycnik::Draw(QPainter& canvas) const {
    Draw(canvas, GlobalDrawContext());
}

void TStycnik::Draw(QPainter& canvas, const TDrawContext& context) const {
    const QPoint p = MapToPixel(context.View, X, Y);
    DrawStycnikDot(canvas, p.x(), p.y());
    canvas.setBrush(LightGrey);
    canvas.setBackground(LightGrey);
    setLabelStyle(canvas, Blue, Qt::OpaqueMode);
    if (context.Flags & dfStycNo)
        textOut(canvas, p.x() + 4, p.y() + 4, QString::number(Number));
}
