// How a truss window looks at its drawing: zoom and pan between drawing units and screen pixels.
#pragma once

#include "ViewMapping.h"

#include <QPoint>
#include <QRectF>
#include <QSizeF>

// The zoom (screen pixels per drawing unit) and the pan (the screen position of the drawing's
// origin) of one window. At 100 % with no pan it is the identity, and the window draws one
// drawing unit per pixel as it always has. Mouse positions go through ToModel before they are
// snapped, so snapping, the grid step and every position the truss sees stay in drawing units.
class TViewTransform {
public:
    static constexpr double MinScale = 0.05;
    static constexpr double MaxScale = 16;
    // The zoom of one step of Zoom in / Zoom out and of one notch of the wheel.
    static constexpr double StepFactor = 1.25;

    double Scale() const { return mapping.Scale; }
    QPointF Offset() const { return mapping.Offset; }
    // What pictures are drawn through (RenderTruss) and overlays paint with.
    const TViewMapping& Mapping() const { return mapping; }
    bool IsIdentity() const { return mapping.IsIdentity(); }

    QPointF ToScreen(QPointF model) const { return mapping.ToScreen(model); }
    QPointF ToModel(QPointF screen) const { return mapping.ToModel(screen); }
    // The drawing position under a screen pixel, rounded to whole drawing units (ties to even),
    // as the mouse handlers take it. The identity gives the pixel itself.
    QPoint ToModelPoint(QPoint screen) const;
    // The screen pixel of a drawing position, rounded (ties to even).
    QPoint ToScreenPoint(QPointF model) const;
    // A distance of so many screen pixels in drawing units: the tolerance of a hit test that
    // should feel the same at any zoom.
    double ToModelDistance(double pixels) const { return pixels / mapping.Scale; }

    // 100 % with no pan.
    void Reset();
    // Multiplies the zoom by factor (clamped to MinScale..MaxScale) and keeps the drawing point
    // under the screen point anchor where it is.
    void ZoomAt(QPointF anchor, double factor);
    // Moves the drawing by delta screen pixels.
    void PanBy(QPointF delta);
    // Shows bounds (drawing units) whole and centred in a viewport of that many pixels, with
    // margin pixels left free on every side, at most at maxScale. A zero-size box (one point)
    // keeps the present zoom and is only centred.
    void Fit(const QRectF& bounds, const QSizeF& viewport, double margin,
             double maxScale = MaxScale);

    static double Clamped(double scale);

private:
    // 100 % reached by steps or a fit is exactly 100 %, and a whole-pixel pan at 100 % exactly
    // whole, so the window draws the designed picture again.
    void Settle();

    TViewMapping mapping;
};
