// Support images, the grid and the whole picture of a truss.
#include "TrussPicture.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// Grid points and lines are silver, so the truss stands out over them.
const QColor GridColour(192, 192, 192);
const QColor SupportColour(0, 0, 0);
const QColor GroundColour(96, 96, 96);

// A triangle under the joint at the image's centre, its tip at the joint.
void drawPedestal(QPainter& p) {
    p.drawPolygon(QPolygon({QPoint(20, 20), QPoint(11, 31), QPoint(29, 31)}));
}

// Hatched ground line at height y from x1 to x2.
void drawGround(QPainter& p, int x1, int x2, int y) {
    p.setPen(QPen(GroundColour, 1));
    p.drawLine(x1, y, x2, y);
    for (int x = x1 + 2; x <= x2; x += 5)
        p.drawLine(x, y, x - 4, y + 4);
}

QImage supportImage(int kind) {
    QImage image(SupportImageSize, SupportImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(SupportColour, 1.5));
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 0: // fixed in x and y: a pin on the ground
        drawPedestal(p);
        drawGround(p, 6, 34, 32);
        break;
    case 1: // fixed in y only: a pin on rollers
        drawPedestal(p);
        p.drawEllipse(QRectF(12, 31.5, 5, 5));
        p.drawEllipse(QRectF(23, 31.5, 5, 5));
        drawGround(p, 6, 34, 37);
        break;
    default: // fixed in x only: rollers against a wall on the left
        p.save();
        p.translate(20, 20);
        p.rotate(90);
        p.translate(-20, -20);
        drawPedestal(p);
        p.drawEllipse(QRectF(12, 31.5, 5, 5));
        p.drawEllipse(QRectF(23, 31.5, 5, 5));
        drawGround(p, 6, 34, 37);
        p.restore();
        break;
    }
    return image;
}

} // namespace

TImageList MakeSupportImages() {
    TImageList list;
    for (int kind = 0; kind < 3; ++kind)
        list.Add(supportImage(kind));
    return list;
}

void DrawGrid(QPainter& canvas, QSize size, int step, bool lines) {
    if (step <= 0)
        return;
    canvas.setPen(QPen(GridColour, 1));
    if (lines) {
        for (int x = 0; x < size.width(); x += step)
            canvas.drawLine(x, 0, x, size.height() - 1);
        for (int y = 0; y < size.height(); y += step)
            canvas.drawLine(0, y, size.width() - 1, y);
        return;
    }
    QList<QPoint> points;
    for (int x = 0; x < size.width(); x += step)
        for (int y = 0; y < size.height(); y += step)
            points.append(QPoint(x, y));
    canvas.drawPoints(points.constData(), static_cast<int>(points.size()));
}

namespace {

// The multiple of step that grid points are drawn at: 1, 2, 5, 10, 20, 50 ... whichever first
// puts them MinGridSpacing pixels apart. Zooming in never thins.
double ThinnedStep(double step, double scale) {
    if (scale >= 1)
        return step;
    for (double decade = 1;; decade *= 10)
        for (double k : {1.0, 2.0, 5.0})
            if (k * decade * step * scale >= MinGridSpacing || k * decade * step > 1e12)
                return k * decade * step;
}

// The pixel positions along one axis of picture length of the grid lines every `every` drawing
// units, through scale and offset.
QList<int> GridPositions(double every, double scale, double offset, int length) {
    QList<int> positions;
    const double first = std::ceil((0 - 0.5 - offset) / scale / every);
    const double last = std::floor((length - 0.5 - offset) / scale / every);
    for (double n = first; n <= last; ++n) {
        const long double pixel =
            std::nearbyint(static_cast<long double>(n * every) * scale + offset);
        if (pixel >= 0 && pixel < length)
            positions.append(static_cast<int>(pixel));
    }
    return positions;
}

} // namespace

void DrawViewGrid(QPainter& canvas, const TViewMapping& view, QSize size, int step, bool lines) {
    if (view.IsIdentity()) {
        DrawGrid(canvas, size, step, lines);
        return;
    }
    if (step <= 0)
        return;
    const double every = ThinnedStep(step, view.Scale);
    const QList<int> xs = GridPositions(every, view.Scale, view.Offset.x(), size.width());
    const QList<int> ys = GridPositions(every, view.Scale, view.Offset.y(), size.height());
    canvas.setPen(QPen(GridColour, 1));
    if (lines) {
        for (int x : xs)
            canvas.drawLine(x, 0, x, size.height() - 1);
        for (int y : ys)
            canvas.drawLine(0, y, size.width() - 1, y);
        return;
    }
    QList<QPoint> points;
    points.reserve(xs.size() * ys.size());
    for (int x : xs)
        for (int y : ys)
            points.append(QPoint(x, y));
    canvas.drawPoints(points.constData(), static_cast<int>(points.size()));
}

void RenderGround(QPainter& canvas, const TViewMapping& view, const TTrussRenderOptions& options,
                  QSize size) {
    canvas.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    if (options.GridStep > 0)
        DrawViewGrid(canvas, view, size, options.GridStep, options.GridLines);
}

double RenderTruss(QPainter& canvas, const TViewMapping& view, const TTrussRenderOptions& options,
                   TPrutovaSoustava& truss, const TImageList& supports, QSize size) {
    RenderGround(canvas, view, options, size);
    return truss.Draw(canvas, supports, TDrawContext{view, options.Flags, options.Err});
}

QImage RenderTrussPicture(TPrutovaSoustava& truss, QSize size, const TTrussRenderOptions& options) {
    static const TImageList supports = MakeSupportImages();
    QImage image(size, QImage::Format_RGB32);
    QPainter canvas(&image);
    RenderTruss(canvas, TViewMapping{}, options, truss, supports, size);
    return image;
}
