// The mapping from drawing units to the pixels of a picture: a uniform scale and an offset.
#pragma once

#include <QPointF>
#include <QTransform>

// Device position = drawing position × Scale + Offset. Every picture of a truss (window, file,
// print) is drawn through one of these; the identity draws one drawing unit on one pixel with
// the drawing's origin in the picture's top-left corner.
struct TViewMapping {
    double Scale = 1;
    QPointF Offset;

    bool IsIdentity() const { return Scale == 1 && Offset.isNull(); }

    QPointF ToScreen(QPointF model) const { return model * Scale + Offset; }
    QPointF ToModel(QPointF screen) const { return (screen - Offset) / Scale; }

    // One coordinate mapped in extended precision, so that integer drawing positions reach the
    // picture exactly and the rounding of derived positions (arrow tips, labels) is unchanged.
    long double MapX(long double x) const { return x * Scale + Offset.x(); }
    long double MapY(long double y) const { return y * Scale + Offset.y(); }

    // The same mapping for a QPainter or a vector output that takes a transform.
    QTransform Transform() const { return {Scale, 0, 0, Scale, Offset.x(), Offset.y()}; }

    bool operator==(const TViewMapping&) const = default;
};
