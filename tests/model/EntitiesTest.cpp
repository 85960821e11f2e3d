// Bar directions, bar colours and the text descriptions of the entities.
#include "Entities.h"
#include "UMatrix.h"
#include "plsLangConsts.h"

#include <gtest/gtest.h>

namespace {

struct DirectionCase {
    int ax, ay, bx, by;
    double a, b;
};

class DirectionTest : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionTest, AnglesOfBothEnds) {
    const auto& c = GetParam();
    TPrut p;
    p.Sa_X = c.ax, p.Sa_Y = c.ay, p.Sb_X = c.bx, p.Sb_Y = c.by;
    EXPECT_NEAR(p.DirectionA(), c.a, 1e-12);
    EXPECT_NEAR(p.DirectionB(), c.b, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Table, DirectionTest,
                         ::testing::Values(DirectionCase{0, 0, 100, 0, 0, 180},
                                           DirectionCase{100, 0, 0, 0, 180, 360},
                                           DirectionCase{0, 0, 0, 100, 90, 270},
                                           DirectionCase{0, 100, 0, 0, 270, 90},
                                           DirectionCase{0, 0, 100, 100, 45, 225},
                                           DirectionCase{0, 0, 100, -100, 315, 135},
                                           DirectionCase{0, 0, -100, -100, 225, 45}));

TEST(Direction, ZeroLengthBarHasNone) {
    TPrut p;
    EXPECT_TRUE(std::isnan(p.DirectionA()));
    EXPECT_TRUE(std::isnan(p.DirectionB()));
}

struct ColourCase {
    double f, b1, b2;
    int r, g, b;
};

class ForceColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ForceColourTest, ScaleFromYellow) {
    EquationStore.Err = 0;
    const auto& c = GetParam();
    EXPECT_EQ(ForceColour(c.f, c.b1, c.b2), QColor(c.r, c.g, c.b));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ForceColourTest,
    ::testing::Values(ColourCase{10, 20, -5, 255, 127, 0}, // k = 128, tie to even
                      ColourCase{-20, 20, -5, 0, 255, 0}, ColourCase{20, 20, -5, 255, 0, 0},
                      ColourCase{-5, 5, -20, 191, 255, 0}, // |bound 2| wins
                      ColourCase{0.000004, 20, -5, 192, 192, 192},
                      ColourCase{-0.000004, 20, -5, 192, 192, 192},
                      ColourCase{1, 0, 0, 255, 255, 0}));

TEST(ForceColour, GreyWhileTheLastSolutionFailed) {
    EquationStore.Err = 2;
    EXPECT_EQ(ForceColour(10, 20, -5), QColor(192, 192, 192));
    EquationStore.Err = 0;
}

TEST(Describe, BarAndVectorInCzech) {
    TPrut p;
    p.Number = 3, p.Sa_X = 100, p.Sa_Y = 200, p.Sb_X = 300, p.Sb_Y = 200, p.Sila = -12.5;
    EXPECT_EQ(p.Describe(), QString::fromUtf8("  3: Souř.: 100, 200, 300, 200, Síla:-12.5\r\n"));
    TVektor v;
    v.Number = 3;
    EXPECT_EQ(v.Describe(), QString::fromUtf8("  3: Síla=?  Úhel: 0.0\r\n"));
    v.Known = true, v.Sila = 10, v.Uhel = 90;
    EXPECT_EQ(v.Describe(), QString::fromUtf8("  3: Síla=10.0  Úhel: 90.0\r\n"));
}

TEST(Describe, SupportForceAndJoint) {
    TPodpera s;
    s.X = 40, s.Y = -40;
    EXPECT_EQ(s.Describe(), QStringLiteral("  0 (40, -40)\r\n"));
    TSila f;
    f.Sila = 10, f.Uhel = 90;
    EXPECT_EQ(f.Describe(), QString::fromUtf8("  0: Síla=10.0  Úhel: 90.0\r\n"));
    TStycnik j;
    j.Number = 2, j.X = 100, j.Y = 0;
    EXPECT_EQ(j.AddVektor(1, false, 180, 0), 0);
    EXPECT_EQ(j.AddVektor(0, true, 90, 10), 1);
    EXPECT_EQ(j.Describe(),
              QString::fromUtf8(" Styčník č.: 2 (100, 0)\r\n Počet vektorů:2\r\n"
                                "  1: Síla=?  Úhel: 180.0\r\n  0: Síla=10.0  Úhel: 90.0\r\n"));
}

TEST(Describe, FollowsTheCurrentTexts) {
    const QString saved = str_Sila;
    str_Sila = QStringLiteral("Force");
    TSila f;
    EXPECT_TRUE(f.Describe().contains(QStringLiteral("Force=0.0")));
    str_Sila = saved;
}

} // namespace
