// Zoom and pan of a truss window: mapping both ways, zoom about a point, fitting a box.
#include "ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// How near a value must be to be taken as the whole number it approaches through rounding
// errors of repeated zoom steps.
constexpr double ScaleSnap = 1e-9;
constexpr double PixelSnap = 1e-6;

int ToInt(double v) {
    const double r = std::nearbyint(v);
    return static_cast<int>(std::clamp(r, double(std::numeric_limits<int>::min()),
                                       double(std::numeric_limits<int>::max())));
}

} // namespace

QPoint TViewTransform::ToModelPoint(QPoint screen) const {
    if (IsIdentity())
        return screen;
    const QPointF m = ToModel(QPointF(screen));
    return {ToInt(m.x()), ToInt(m.y())};
}

QPoint TViewTransform::ToScreenPoint(QPointF model) const {
    const QPointF s = ToScreen(model);
    return {ToInt(s.x()), ToInt(s.y())};
}

double TViewTransform::Clamped(double scale) {
    return std::clamp(scale, MinScale, MaxScale);
}

void TViewTransform::Reset() {
    mapping = TViewMapping{};
}

void TViewTransform::ZoomAt(QPointF anchor, double factor) {
    const double scale = Clamped(mapping.Scale * factor);
    // The drawing point under anchor: (anchor - offset) / scale, the same before and after.
    const QPointF model = ToModel(anchor);
    mapping.Scale = scale;
    mapping.Offset = anchor - model * scale;
    Settle();
}

void TViewTransform::PanBy(QPointF delta) {
    mapping.Offset += delta;
    Settle();
}

void TViewTransform::Fit(const QRectF& bounds, const QSizeF& viewport, double margin,
                         double maxScale) {
    const double room_w = std::max(1.0, viewport.width() - 2 * margin);
    const double room_h = std::max(1.0, viewport.height() - 2 * margin);
    // An axis along which the box has no extent sets no limit; a box that is a point is shown
    // at 100 %.
    double scale = 1;
    if (bounds.width() > 0 && bounds.height() > 0)
        scale = std::min(room_w / bounds.width(), room_h / bounds.height());
    else if (bounds.width() > 0)
        scale = room_w / bounds.width();
    else if (bounds.height() > 0)
        scale = room_h / bounds.height();
    mapping.Scale = Clamped(std::min(scale, maxScale));
    // Whole pixels: at 100 % the drawing's grid points then stay evenly spaced on the screen.
    const QPointF centre(viewport.width() / 2, viewport.height() / 2);
    const QPointF offset = centre - bounds.center() * mapping.Scale;
    mapping.Offset = QPointF(std::nearbyint(offset.x()), std::nearbyint(offset.y()));
    Settle();
}

void TViewTransform::Settle() {
    if (std::fabs(mapping.Scale - 1) < ScaleSnap)
        mapping.Scale = 1;
    if (mapping.Scale != 1)
        return;
    auto whole = [](double v) {
        const double r = std::nearbyint(v);
        return std::fabs(v - r) < PixelSnap ? r : v;
    };
    mapping.Offset = QPointF(whole(mapping.Offset.x()), whole(mapping.Offset.y()));
}
