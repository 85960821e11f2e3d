// The view transform of a truss window: mapping both ways, zoom about a point, fit, clamping.
#include "ViewTransform.h"

#include <gtest/gtest.h>

namespace {

void ExpectNear(QPointF actual, QPointF expected, const char* what) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9) << what;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9) << what;
}

// A zoom about a screen point from a given view, and where a drawing point lands by hand:
// screen = model * scale + offset, with the anchor's drawing point kept under it.
struct TZoomCase {
    double Scale0;
    QPointF Offset0;
    QPointF Anchor;
    double Factor;
    double Scale; // expected, after clamping
    QPointF Offset;
};

class ZoomAtTest : public ::testing::TestWithParam<TZoomCase> {};

TEST_P(ZoomAtTest, KeepsTheAnchorsDrawingPointAndMapsBothWays) {
    const TZoomCase c = GetParam();
    TViewTransform v;
    v.ZoomAt(QPointF(0, 0), c.Scale0);
    v.PanBy(c.Offset0);
    const QPointF under = v.ToModel(c.Anchor);
    v.ZoomAt(c.Anchor, c.Factor);
    EXPECT_DOUBLE_EQ(v.Scale(), c.Scale);
    ExpectNear(v.Offset(), c.Offset, "offset");
    ExpectNear(v.ToScreen(under), c.Anchor, "the anchor's drawing point stays under it");
    for (QPointF p : {QPointF(0, 0), QPointF(123.5, -40), QPointF(-1e5, 3e4)}) {
        ExpectNear(v.ToModel(v.ToScreen(p)), p, "model -> screen -> model");
        ExpectNear(v.ToScreen(v.ToModel(p)), p, "screen -> model -> screen");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZoomAtTest,
    ::testing::Values(
        // Anchor (200, 100) over drawing point (200, 100): offset = 200 - 200 * 2.5 = -300.
        TZoomCase{1, {0, 0}, {200, 100}, 2.5, 2.5, {-300, -150}},
        // From 200 % panned by (10, 20): the anchor (110, 60) shows drawing point (50, 20);
        // at 50 % it lies at 50 * 0.5 + offset = 110, so offset = (85, 50).
        TZoomCase{2, {10, 20}, {110, 60}, 0.25, 0.5, {85, 50}},
        // Clamped at 1600 %: anchor (0, 0) over drawing point (-10, 0) from 8 x with offset
        // (80, 0); 16 x keeps it: offset = 0 + 10 * 16 = 160.
        TZoomCase{8, {80, 0}, {0, 0}, 10, 16, {160, 0}},
        // Clamped at 5 %: the drawing point (100, 100) under (10, 10) at 10 % with offset 0
        // stays there at 5 %: offset = 10 - 100 * 0.05 = 5.
        TZoomCase{0.1, {0, 0}, {10, 10}, 0.01, 0.05, {5, 5}}));

TEST(ViewTransform, IdentityMapsPixelsToThemselves) {
    TViewTransform v;
    EXPECT_TRUE(v.IsIdentity());
    for (QPoint p : {QPoint(0, 0), QPoint(-31, -50), QPoint(657, 396)}) {
        EXPECT_EQ(v.ToModelPoint(p), p);
        EXPECT_EQ(v.ToScreenPoint(p), p);
    }
    // Steps in and out and a fit at 100 % come back to exactly the identity.
    v.ZoomAt(QPointF(133, 77), TViewTransform::StepFactor);
    v.ZoomAt(QPointF(133, 77), 1 / TViewTransform::StepFactor);
    EXPECT_TRUE(v.IsIdentity()) << v.Scale() << " " << v.Offset().x() << " " << v.Offset().y();
    EXPECT_DOUBLE_EQ(v.ToModelDistance(4), 4);
    v.ZoomAt(QPointF(0, 0), 2);
    EXPECT_DOUBLE_EQ(v.ToModelDistance(4), 2);
}

struct TFitCase {
    QRectF Bounds;
    QSizeF Viewport;
    double Margin;
    double MaxScale;
    double Scale;
    QPointF Offset;
};

class FitTest : public ::testing::TestWithParam<TFitCase> {};

TEST_P(FitTest, CentresTheBoxAtTheScaleOfItsTighterSide) {
    const TFitCase c = GetParam();
    TViewTransform v;
    v.ZoomAt(QPointF(5, 5), 3); // whatever view the window had before
    v.Fit(c.Bounds, c.Viewport, c.Margin, c.MaxScale);
    EXPECT_DOUBLE_EQ(v.Scale(), c.Scale);
    ExpectNear(v.Offset(), c.Offset, "offset");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitTest,
    ::testing::Values(
        // The 100-joint bridge (40..1020 x 360..400) in 1200 x 800 with 30 free: the width
        // limits, 1140 / 980; centred: 600 - 530 * s and 400 - 380 * s, rounded.
        TFitCase{
            QRectF(40, 360, 980, 40),
            {1200, 800},
            30,
            16,
            1140.0 / 980,
            {std::nearbyint(600 - 530 * 1140.0 / 980), std::nearbyint(400 - 380 * 1140.0 / 980)}},
        // A tall box: 100 x 400 in 300 x 220 with 10 free: 200 / 400 = 0.5.
        TFitCase{QRectF(0, 0, 100, 400), {300, 220}, 10, 16, 0.5, {125, 10}},
        // Small box, zooming in capped at 100 %: only centred.
        TFitCase{QRectF(10, 10, 20, 20), {400, 300}, 30, 1, 1, {180, 130}},
        // Zero height: the width alone sets the scale (80 / 40 = 2).
        TFitCase{QRectF(0, 50, 40, 0), {100, 100}, 10, 16, 2, {10, -50}},
        // A single point: 100 %, centred.
        TFitCase{QRectF(70, 30, 0, 0), {200, 100}, 10, 16, 1, {30, 20}},
        // Far too large for 5 %: clamped.
        TFitCase{QRectF(0, 0, 1e6, 1e6), {100, 100}, 0, 16, 0.05, {-24950, -24950}}));

} // namespace
