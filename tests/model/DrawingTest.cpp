// The drawing routines, checked on the pixels of a picture.
#include "Entities.h"
#include "TrussPicture.h"
#include "UMatrix.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        image = QImage(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        EquationStore.Err = 0;
        DisplayFlags = 0;
    }
    QColor at(int x, int y) const { return image.pixelColor(x, y); }
    // Pixels in a rectangle that are neither white nor one of the given colours.
    int countColour(const QRect& r, const QColor& c) const {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += image.pixelColor(x, y) == c;
        return n;
    }
    int countNonWhite(const QRect& r) const {
        return r.width() * r.height() - countColour(r, Qt::white);
    }
    QImage image;
};

TEST_F(DrawingTest, BarHasAColouredCoreInABlackOutline) {
    {
        QPainter p(&image);
        DrawPrutLine(p, 20, 100, 180, 100, 10, 20, -5);
    }
    EXPECT_EQ(at(100, 100), QColor(255, 127, 0));
    EXPECT_EQ(at(100, 99), QColor(255, 127, 0));
    EXPECT_EQ(at(100, 101), QColor(255, 127, 0));
    EXPECT_EQ(at(100, 98), QColor(0, 0, 0));
    EXPECT_EQ(at(100, 102), QColor(0, 0, 0));
    EXPECT_EQ(at(100, 96), QColor(Qt::white));
}

TEST_F(DrawingTest, ArrowHeadPointsAtTheTip) {
    {
        QPainter p(&image);
        DrawArrow(p, QPoint(20, 100), QPoint(120, 100), QColor(128, 0, 128));
    }
    const QColor purple(128, 0, 128);
    // The head spreads sideways just behind the tip and nowhere beyond it.
    EXPECT_EQ(at(114, 102), purple);
    EXPECT_EQ(at(114, 98), purple);
    EXPECT_EQ(at(60, 103), QColor(Qt::white));
    EXPECT_EQ(countNonWhite(QRect(123, 90, 20, 20)), 0);
}

TEST_F(DrawingTest, ZeroLengthForcePointsRight) {
    {
        QPainter p(&image);
        DrawSilaArrow(p, 100, 100, 0, 90);
    }
    EXPECT_GT(countNonWhite(QRect(90, 95, 10, 10)), 5);
    EXPECT_EQ(countNonWhite(QRect(103, 90, 20, 20)), 0);
}

TEST_F(DrawingTest, JointIsABlueDotWithNavyRim) {
    {
        QPainter p(&image);
        DrawStycnikDot(p, 100, 100);
    }
    EXPECT_EQ(at(100, 100), QColor(0, 0, 255));
    EXPECT_EQ(at(100, 95), QColor(0, 0, 128));
    EXPECT_EQ(at(100, 107), QColor(Qt::white));
}

TEST_F(DrawingTest, SupportImagesAreChosenByFixedAndCentred) {
    TImageList list;
    for (QColor c : {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)}) {
        QImage img(SupportImageSize, SupportImageSize, QImage::Format_RGB32);
        img.fill(c);
        list.Add(img);
    }
    QPainter p(&image);
    DrawPodperaImage(p, list, 50, 50, P_X | P_Y, 0);
    DrawPodperaImage(p, list, 150, 50, P_Y, 0);
    DrawPodperaImage(p, list, 50, 150, P_X, 0);
    DrawPodperaImage(p, list, 150, 150, 0, 0);
    p.end();
    EXPECT_EQ(at(30, 30), QColor(255, 0, 0));
    EXPECT_EQ(at(69, 69), QColor(255, 0, 0));
    EXPECT_EQ(at(70, 70), QColor(Qt::white));
    EXPECT_EQ(at(150, 50), QColor(0, 255, 0));
    EXPECT_EQ(at(50, 150), QColor(0, 0, 255));
    EXPECT_EQ(countNonWhite(QRect(120, 120, 60, 60)), 0);
}

TEST_F(DrawingTest, ProgramSupportImagesAreFortyByForty) {
    const TImageList list = MakeSupportImages();
    ASSERT_EQ(list.Count(), 3);
    for (const QImage& img : list.Images)
        EXPECT_EQ(img.size(), QSize(40, 40));
    EXPECT_NE(list.Images[0], list.Images[1]);
    EXPECT_NE(list.Images[1], list.Images[2]);
}

TEST_F(DrawingTest, LabelsFollowTheDisplayFlags) {
    TPrut bar;
    bar.Number = 1, bar.Sa_X = 20, bar.Sa_Y = 40, bar.Sb_X = 180, bar.Sb_Y = 40, bar.Sila = 5;
    TStycnik joint;
    joint.Number = 7, joint.X = 100, joint.Y = 140;
    TSila force;
    force.X = 20, force.Y = 100, force.Sila = 30, force.Uhel = 0;
    const QRect barLabel(90, 44, 60, 14), jointLabel(106, 146, 16, 10), forceLabel(53, 94, 30, 16);
    auto draw = [&] {
        image.fill(Qt::white);
        QPainter p(&image);
        bar.Draw(p, 5, 0);
        joint.Draw(p);
        force.Draw(p);
    };
    draw();
    EXPECT_EQ(countNonWhite(barLabel), 0);
    EXPECT_EQ(countNonWhite(jointLabel), 0);
    EXPECT_EQ(countNonWhite(forceLabel), 0);

    DisplayFlags = dfPrutName | dfPrutForce | dfStycNo;
    draw();
    EXPECT_GT(countNonWhite(barLabel), 10);
    // Joint numbers stand on a light grey box in blue.
    EXPECT_GT(countColour(jointLabel, QColor(192, 192, 192)), 10);
    EXPECT_GT(countNonWhite(forceLabel), 5);
}

TEST_F(DrawingTest, FailedSolutionDrawsGreyBars) {
    EquationStore.Err = 2;
    TPrut bar;
    bar.Sa_X = 20, bar.Sa_Y = 40, bar.Sb_X = 180, bar.Sb_Y = 40, bar.Sila = 5;
    {
        QPainter p(&image);
        bar.Draw(p, 5, 0);
    }
    EXPECT_EQ(at(100, 40), QColor(192, 192, 192));
    EquationStore.Err = 0;
}

TEST(RoundToPixel, HalvesToEvenAndRefusesOverflow) {
    EXPECT_EQ(RoundToPixel(2.5L), 2);
    EXPECT_EQ(RoundToPixel(3.5L), 4);
    EXPECT_EQ(RoundToPixel(-2.5L), -2);
    EXPECT_THROW(RoundToPixel(1e12L), ERangeError);
    // A label 4 pixels right of the last pixel must still be a 32-bit number.
    EXPECT_THROW(RoundToPixel(INT32_MAX), ERangeError);
    EXPECT_THROW(RoundToPixel(INT32_MIN), ERangeError);
}

TEST_F(DrawingTest, ItemsAtTheEndsOfTheIntegerRangeAreDrawnOrRefusedWithoutOverflow) {
    // The bar's ends lie 4e9 apart, more than an int holds; its label belongs at its middle,
    // x = 0, shifted here to the picture's x = 100 (5 pixels left of it, by the label's offset).
    TPrut bar;
    bar.Number = 1, bar.Sa_X = -2000000000, bar.Sa_Y = 0, bar.Sb_X = 2000000000, bar.Sb_Y = 0;
    TDrawContext context{TViewMapping{1, QPointF(100, 100)}, dfPrutName, 0};
    {
        QPainter p(&image);
        bar.Draw(p, 5, 0, context);
    }
    EXPECT_GT(countNonWhite(QRect(90, 104, 30, 14)), 10);
    // A joint on the last pixel of the range cannot be drawn with its number beside it.
    TStycnik joint;
    joint.Number = 1, joint.X = INT32_MAX, joint.Y = 0;
    QPainter p(&image);
    EXPECT_THROW(joint.Draw(p, TDrawContext{TViewMapping{}, dfStycNo, 0}), ERangeError);
}

} // namespace
