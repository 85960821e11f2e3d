// The truss with its joints moved (a mechanism's motion, a deformed shape), drawn over the picture.
#pragma once

#include "StiffnessSolver.h"
#include "ViewTransform.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

#include <utility>
#include <vector>

class TPrutovaSoustava;

struct TDisplacedShape {
    // The moved joints in drawing units, in the truss's joint order.
    std::vector<QPointF> Joints;
    // Each bar's end joints, as indices into Joints.
    std::vector<std::pair<int, int>> Bars;
    // Joints marked with a circle.
    std::vector<int> Marked;
    QColor Colour;
};

// The joints moved to (X + scale * Ux / Delka, Y + scale * Uy / Delka), u given per joint in the
// length unit. With markMoving, the joints that move by more than tolerance are marked.
TDisplacedShape DisplacedShape(const TPrutovaSoustava& truss, const std::vector<TDisplacement>& u,
                               double scale, bool markMoving, double tolerance);

// Dashed bars and small circles, in the view's pixels, the same width at any zoom.
void PaintDisplacedShape(QPainter& painter, const TViewTransform& view,
                         const TDisplacedShape& shape);
