// The picture of a truss through a view: options instead of globals, pixel sizes that keep at any
// zoom, arrows that scale, the thinned grid, and the box a fit shows.
#include "TrussPicture.h"
#include "UMatrix.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor White(Qt::white);
const QColor Silver(192, 192, 192);

QImage Render(TPrutovaSoustava& t, const TViewMapping& view, const TTrussRenderOptions& options,
              QSize size = QSize(300, 200)) {
    static const TImageList supports = MakeSupportImages();
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    RenderTruss(p, view, options, t, supports, size);
    return image;
}

int Count(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

QRect NonWhite(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != White)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(ViewRender, FollowsItsOptionsNotTheProcessWideState) {
    TPrutovaSoustava t;
    t.AddPrut(20, 100, 280, 100);
    t.Prut(0).Sila = 10;
    TTrussRenderOptions solved;
    solved.Flags = dfPrutName;
    DisplayFlags = 0;
    EquationStore.Err = 2;
    const QImage a = Render(t, {}, solved);
    // The name "S1 " stands below the bar's middle (150, 100), from (145, 102).
    const QRect label(145, 104, 20, 8);
    EXPECT_EQ(a.pixelColor(60, 100), QColor(255, 0, 0)) << "tension at the largest force";
    EXPECT_FALSE(NonWhite(a.copy(label)).isNull()) << "the bar's name";
    DisplayFlags = dfPrutName | dfPrutForce | dfStycNo;
    EquationStore.Err = 0;
    TTrussRenderOptions unsolved;
    unsolved.Flags = 0;
    unsolved.Err = 2;
    const QImage b = Render(t, {}, unsolved);
    EXPECT_EQ(b.pixelColor(60, 100), Silver);
    EXPECT_TRUE(NonWhite(b.copy(label)).isNull());
    DisplayFlags = 0;
}

TEST(ViewRender, WidthsDotsAndImagesKeepTheirPixelsWhileArrowsScale) {
    TPrutovaSoustava t;
    t.AddPrut(0, 100, 400, 100);
    t.AddSila(400, 100, 100, 90);
    const TViewMapping half{0.5, QPointF(10, 20)};
    TTrussRenderOptions bare;
    bare.Flags = 0;
    // The bar runs at y = 100 * 0.5 + 20 = 70 from x = 10 to 210.
    const QImage a = Render(t, half, bare);
    EXPECT_EQ(a.pixelColor(110, 67), White);
    EXPECT_EQ(a.pixelColor(110, 68), QColor(Qt::black));
    EXPECT_EQ(a.pixelColor(110, 70), Silver);
    EXPECT_EQ(a.pixelColor(110, 72), QColor(Qt::black));
    EXPECT_EQ(a.pixelColor(110, 73), White);
    // The joint dots keep their radius of 5 pixels.
    EXPECT_EQ(a.pixelColor(10, 66), QColor(0, 0, 255));
    EXPECT_EQ(a.pixelColor(10, 63), White);
    // The load of 100 down from (400, 100) ends 50 pixels below its joint, at (210, 120).
    const QColor purple(128, 0, 128);
    EXPECT_EQ(a.pixelColor(210, 100), purple);
    EXPECT_EQ(a.pixelColor(210, 119), purple);
    EXPECT_EQ(a.pixelColor(210, 123), White);

    // A lone support covers the same pixels around its point at any zoom.
    TPrutovaSoustava s;
    s.AddPodpera(100, 100, P_X | P_Y, 0);
    QRect footprint;
    for (double scale : {0.25, 1.0, 3.0}) {
        const TViewMapping view{scale, QPointF(150 - 100 * scale, 100 - 100 * scale)};
        const QRect box = NonWhite(Render(s, view, bare)).translated(-150, -100);
        if (footprint.isNull())
            footprint = box;
        EXPECT_EQ(box, footprint) << scale;
    }
    EXPECT_GE(footprint.width(), 20);
}

struct TGridCase {
    double Scale;
    QPointF Offset;
    bool Lines;
    int Silver; // silver pixels on 100 x 100, counted by hand
};

class ViewGridTest : public ::testing::TestWithParam<TGridCase> {};

TEST_P(ViewGridTest, KeepsPointsApartOnMultiplesOfTheStep) {
    const TGridCase c = GetParam();
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DrawViewGrid(p, TViewMapping{c.Scale, c.Offset}, image.size(), 20, c.Lines);
    p.end();
    EXPECT_EQ(Count(image, Silver), c.Silver);
    const QPoint origin = (c.Offset).toPoint();
    EXPECT_EQ(image.pixelColor(origin), Silver) << "a point where the drawing's origin is";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewGridTest,
    ::testing::Values(
        // 100 %: x, y = 0, 20, .. 80.
        TGridCase{1, {0, 0}, false, 25},
        // Panned by (3, 5): 3 .. 83 and 5 .. 85.
        TGridCase{1, {3, 5}, false, 25},
        // 40 %: 8 pixels apart, 0 .. 96: 13 a side.
        TGridCase{0.4, {0, 0}, false, 169},
        // 20 %: 4 pixels would be too close; every second point, 8 pixels apart.
        TGridCase{0.2, {0, 0}, false, 169},
        // 10 %: 2 pixels; every fifth, 10 apart: 0 .. 90.
        TGridCase{0.1, {0, 0}, false, 100},
        // 200 %: 40 apart: 0, 40, 80.
        TGridCase{2, {0, 0}, false, 9},
        // Lines at 20 %, 8 apart: 13 columns and 13 rows of 100, crossing in 169 pixels.
        TGridCase{0.2, {0, 0}, true, 13 * 100 * 2 - 169}));

TEST(ViewRender, BoundsHoldBarsSupportsAndArrowTips) {
    TPrutovaSoustava t;
    EXPECT_FALSE(t.Bounds().has_value());
    t.AddPrut(10, 20, 50, 20);
    t.AddPodpera(-5, 30, P_Y, 0);
    t.AddSila(50, 20, 40, 90);  // tip (50, 60)
    t.AddSila(10, 20, 35, 180); // tip (-25, 20)
    const QRectF b = *t.Bounds();
    EXPECT_NEAR(b.left(), -25, 1e-9);
    EXPECT_NEAR(b.top(), 20, 1e-9);
    EXPECT_NEAR(b.right(), 50, 1e-9);
    EXPECT_NEAR(b.bottom(), 60, 1e-9);
}

} // namespace
