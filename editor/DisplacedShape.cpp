// The moved truss: where its joints go, and its dashed picture through the view.
#include "DisplacedShape.h"

#include "TrussSystem.h"

#include <cmath>

namespace {

// Radius in pixels of the circle that marks a moving joint.
constexpr double MarkRadius = 4;

} // namespace

TDisplacedShape DisplacedShape(const TPrutovaSoustava& truss, const std::vector<TDisplacement>& u,
                               double scale, bool markMoving, double tolerance) {
    TDisplacedShape shape;
    const double perUnit = scale / truss.Units.Delka;
    for (int j = 0; j < truss.StycnikCount(); ++j) {
        const TStycnik& s = truss.Stycnik(j);
        const TDisplacement d =
            j < static_cast<int>(u.size()) ? u[static_cast<size_t>(j)] : TDisplacement{};
        shape.Joints.emplace_back(s.X + perUnit * d.Ux, s.Y + perUnit * d.Uy);
        if (markMoving && std::max(std::abs(d.Ux), std::abs(d.Uy)) > tolerance)
            shape.Marked.push_back(j);
    }
    for (int i = 0; i < truss.PrutCount(); ++i) {
        const TPrut& p = truss.Prut(i);
        const int a = truss.FindStycnik(p.Sa_X, p.Sa_Y);
        const int b = truss.FindStycnik(p.Sb_X, p.Sb_Y);
        if (a >= 0 && b >= 0)
            shape.Bars.emplace_back(a, b);
    }
    return shape;
}

void PaintDisplacedShape(QPainter& painter, const TViewTransform& view,
                         const TDisplacedShape& shape) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(shape.Colour, 1, Qt::DashLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const auto& [a, b] : shape.Bars)
        painter.drawLine(view.ToScreen(shape.Joints[static_cast<size_t>(a)]),
                         view.ToScreen(shape.Joints[static_cast<size_t>(b)]));
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    for (int j : shape.Marked)
        painter.drawEllipse(view.ToScreen(shape.Joints[static_cast<size_t>(j)]), MarkRadius,
                            MarkRadius);
    painter.restore();
}
