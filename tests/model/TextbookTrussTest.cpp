// Textbook trusses solved end to end and checked against statics worked out independently.
#include "TrussBuilders.h"
#include "UMatrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

namespace {

// Sum of all forces at every point, from the geometry alone: each bar pulls its ends toward each
// other with its tension, reactions act along +x and +y, loads along their angle.
double largestJointResidual(const TPrutovaSoustava& t) {
    std::map<std::pair<int, int>, std::pair<double, double>> sums;
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        const double dx = p.Sb_X - p.Sa_X, dy = p.Sb_Y - p.Sa_Y, l = std::hypot(dx, dy);
        auto& a = sums[{p.Sa_X, p.Sa_Y}];
        a.first += p.Sila * dx / l, a.second += p.Sila * dy / l;
        auto& b = sums[{p.Sb_X, p.Sb_Y}];
        b.first -= p.Sila * dx / l, b.second -= p.Sila * dy / l;
    }
    for (int i = 0; i < t.PodperaCount(); ++i) {
        const TPodpera& s = t.Podpera(i);
        auto& j = sums[{s.X, s.Y}];
        j.first += (s.Fixed & P_X) ? s.ReactionX : 0;
        j.second += (s.Fixed & P_Y) ? s.ReactionY : 0;
    }
    const double pi = std::acos(-1.0);
    for (int i = 0; i < t.SilaCount(); ++i) {
        const TSila& f = t.Sila(i);
        auto& j = sums[{f.X, f.Y}];
        j.first += f.Sila * std::cos(f.Uhel * pi / 180);
        j.second += f.Sila * std::sin(f.Uhel * pi / 180);
    }
    double worst = 0;
    for (const auto& [point, s] : sums)
        worst = std::max({worst, std::fabs(s.first), std::fabs(s.second)});
    return worst;
}

const TPrut* findBar(const TPrutovaSoustava& t, QPoint a, QPoint b) {
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        if ((QPoint(p.Sa_X, p.Sa_Y) == a && QPoint(p.Sb_X, p.Sb_Y) == b) ||
            (QPoint(p.Sa_X, p.Sa_Y) == b && QPoint(p.Sb_X, p.Sb_Y) == a))
            return &p;
    }
    return nullptr;
}

struct TextbookCase {
    const char* name;
    std::function<void(TPrutovaSoustava&)> build;
};

void PrintTo(const TextbookCase& c, std::ostream* os) {
    *os << c.name;
}

class TextbookTrussTest : public ::testing::TestWithParam<TextbookCase> {};

TEST_P(TextbookTrussTest, DeterminateAndInEquilibriumAtEveryJoint) {
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    GetParam().build(t);
    EXPECT_EQ(t.StaticIndeterminacy(), 0);
    ASSERT_EQ(t.Solve(), 0);
    EXPECT_LT(largestJointResidual(t), 1e-9);
    // The loads are carried: some bar works.
    EXPECT_GT(t.SumAbsSila(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Trusses, TextbookTrussTest,
    ::testing::Values(
        TextbookCase{"Triangle", [](auto& t) { BuildTriangle(t, 200, 100, 10); }},
        TextbookCase{"Warren",
                     [](auto& t) {
                         BuildWarren(t, TBridgeShape{6, 80, 60});
                     }},
        TextbookCase{"Pratt",
                     [](auto& t) {
                         BuildPratt(t, TBridgeShape{6, 80, 80});
                     }},
        TextbookCase{"Howe",
                     [](auto& t) {
                         BuildHowe(t, TBridgeShape{6, 80, 80});
                     }},
        TextbookCase{
            "PrattChordOrder",
            [](auto& t) {
                BuildPratt(t, TBridgeShape{6, 80, 80, 40, 200, 10, TJointOrder::ChordByChord});
            }},
        TextbookCase{"Roof", [](auto& t) { BuildKingPostRoof(t, 160, 80, 20); }},
        TextbookCase{"Tower", [](auto& t) { BuildTower(t, 5, 80, 10); }},
        TextbookCase{"HundredJointPratt",
                     [](auto& t) {
                         BuildPratt(t, TBridgeShape{49, 20, 40, 40, 400, 5});
                     }},
        TextbookCase{
            "HundredJointPrattChordOrder",
            [](auto& t) {
                BuildPratt(t, TBridgeShape{49, 20, 40, 40, 400, 5, TJointOrder::ChordByChord});
            }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Textbook, TriangleForcesByHand) {
    TPrutovaSoustava t;
    BuildTriangle(t, 200, 100, 10);
    ASSERT_EQ(t.Solve(), 0);
    // Apex load 10 over a 45-degree triangle: legs -10 / (2 sin 45), base 10 / (2 tan 45).
    EXPECT_NEAR(findBar(t, {40, 140}, {240, 140})->Sila, 5, 1e-12);
    EXPECT_NEAR(findBar(t, {240, 140}, {140, 40})->Sila, -5 * std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(t.Podpera(0).ReactionY, -5, 1e-12); // up is -y
    EXPECT_NEAR(t.Podpera(0).ReactionX, 0, 1e-12);
}

TEST(Textbook, PrattMidSpanChordsCarryTheBendingMoment) {
    // Six panels of 80, height 80, load 10 at each of the five inner bottom joints.
    TPrutovaSoustava t;
    BuildPratt(t, TBridgeShape{6, 80, 80, 40, 200, 10});
    ASSERT_EQ(t.Solve(), 0);
    // Third panel (x 200..280): the top chord takes the moment about the bottom joint at 280,
    // the bottom chord the moment about the top joint at 200.
    const double reaction = 25;
    const double moment280 = reaction * 240 - 10 * (160 + 80), moment200 = reaction * 160 - 10 * 80;
    EXPECT_NEAR(findBar(t, {200, 120}, {280, 120})->Sila, -moment280 / 80, 1e-9);
    EXPECT_NEAR(findBar(t, {200, 200}, {280, 200})->Sila, moment200 / 80, 1e-9);
    // End diagonal carries the end shear in tension: 25 / sin 45.
    EXPECT_NEAR(findBar(t, {40, 120}, {120, 200})->Sila, 25 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(t.Podpera(1).ReactionY, -25, 1e-9);
}

TEST(Textbook, TowerBaseReactionsBalanceTheOverturningMoment) {
    TPrutovaSoustava t;
    BuildTower(t, 5, 80, 10);
    ASSERT_EQ(t.Solve(), 0);
    // A push of 10 along +x at height 400 over a base of 80: the roller's reaction is -50.
    EXPECT_NEAR(t.Podpera(1).ReactionY, -50, 1e-9);
    EXPECT_NEAR(t.Podpera(0).ReactionY, 50, 1e-9);
    EXPECT_NEAR(t.Podpera(0).ReactionX, -10, 1e-9);
}

TEST(Textbook, PanelWithoutItsDiagonalIsAMechanism) {
    TPrutovaSoustava t;
    t.AddPrut(40, 120, 120, 120);
    t.AddPrut(120, 120, 120, 40);
    t.AddPrut(120, 40, 40, 40);
    t.AddPrut(40, 40, 40, 120);
    t.AddPodpera(40, 120, P_X | P_Y, 0);
    t.AddPodpera(120, 120, P_Y, 0);
    t.AddSila(40, 40, 10, 0);
    EXPECT_EQ(t.StaticIndeterminacy(), -1);
    EXPECT_EQ(t.Solve(), 2);
    t.AddPrut(40, 120, 120, 40);
    EXPECT_EQ(t.Solve(), 0);
}

} // namespace
