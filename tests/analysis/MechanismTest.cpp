// Mechanisms named by kind and joints, checked against statics of rigid bodies and against an
// independent count of the modes (the rank of the compatibility matrix by SVD).
#include "AnalysisCases.h"
#include "MechanismText.h"
#include "Mechanisms.h"
#include "TrussBuilders.h"
#include "plsLangConsts.h"
#include "plsLangMan.h"

#include <Eigen/Dense>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

// The modes by a second method: the compatibility matrix written from the bars' geometry, its
// null space dimension from the singular values.
int modesBySvd(const TPrutovaSoustava& t) {
    std::map<std::pair<int, int>, int> joint;
    for (int j = 0; j < t.StycnikCount(); ++j)
        joint[{t.Stycnik(j).X, t.Stycnik(j).Y}] = j;
    std::set<int> fixed;
    for (int i = 0; i < t.PodperaCount(); ++i) {
        const TPodpera& s = t.Podpera(i);
        const int j = joint.at({s.X, s.Y});
        if (s.Fixed & P_X)
            fixed.insert(2 * j);
        if (s.Fixed & P_Y)
            fixed.insert(2 * j + 1);
    }
    Eigen::MatrixXd c = Eigen::MatrixXd::Zero(t.PrutCount(), 2 * t.StycnikCount());
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        const double dx = p.Sb_X - p.Sa_X, dy = p.Sb_Y - p.Sa_Y, l = std::hypot(dx, dy);
        const int a = joint.at({p.Sa_X, p.Sa_Y}), b = joint.at({p.Sb_X, p.Sb_Y});
        c(i, 2 * a) = -dx / l, c(i, 2 * a + 1) = -dy / l;
        c(i, 2 * b) = dx / l, c(i, 2 * b + 1) = dy / l;
    }
    for (int d : fixed)
        c.col(d).setZero();
    const Eigen::VectorXd sv = Eigen::JacobiSVD<Eigen::MatrixXd>(c).singularValues();
    int rank = 0;
    for (Eigen::Index i = 0; i < sv.size(); ++i)
        rank += sv[i] > 1e-9 * sv[0];
    return 2 * t.StycnikCount() - static_cast<int>(fixed.size()) - rank;
}

// The mode stretches no bar and moves no supported component, from the geometry alone.
void expectModeIsFree(const TPrutovaSoustava& t, const TMechanism& m) {
    ASSERT_EQ(m.FirstMode.size(), static_cast<size_t>(t.StycnikCount()));
    auto at = [&](int x, int y) { return m.FirstMode[static_cast<size_t>(t.FindStycnik(x, y))]; };
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        const TDisplacement a = at(p.Sa_X, p.Sa_Y), b = at(p.Sb_X, p.Sb_Y);
        const double dx = p.Sb_X - p.Sa_X, dy = p.Sb_Y - p.Sa_Y;
        EXPECT_NEAR(((b.Ux - a.Ux) * dx + (b.Uy - a.Uy) * dy) / std::hypot(dx, dy), 0, 1e-9);
    }
    for (int i = 0; i < t.PodperaCount(); ++i) {
        const TPodpera& s = t.Podpera(i);
        if (s.Fixed & P_X) {
            EXPECT_NEAR(at(s.X, s.Y).Ux, 0, 1e-12);
        }
        if (s.Fixed & P_Y) {
            EXPECT_NEAR(at(s.X, s.Y).Uy, 0, 1e-12);
        }
    }
}

void buildTriangle(TPrutovaSoustava& t) {
    t.AddPrut(0, 100, 200, 100);
    t.AddPrut(200, 100, 100, 0);
    t.AddPrut(100, 0, 0, 100);
}

struct TCase {
    const char* Name;
    void (*Build)(TPrutovaSoustava&);
    TMechanismKind Kind;
    int Modes;
    std::vector<int> Joints;
};

void PrintTo(const TCase& c, std::ostream* os) {
    *os << c.Name;
}

const TCase Cases[] = {
    // Rollers alone, all fixing y: nothing stops a slide along x; every joint moves.
    {"parallel rollers slide",
     [](TPrutovaSoustava& t) {
         buildTriangle(t);
         t.AddPodpera(0, 100, P_Y, 0);
         t.AddPodpera(200, 100, P_Y, 0);
     },
     TMechanismKind::Translation,
     1,
     {1, 2, 3}},
    // No support at all: two slides and a turn.
    {"no support", buildTriangle, TMechanismKind::Translation, 3, {1, 2, 3}},
    // A pin at 1 and a roller fixing x at 2, on the pin's horizontal line: both reactions pass
    // through the pin, so the truss turns about it and joint 1 stays.
    {"roller through the pin",
     [](TPrutovaSoustava& t) {
         buildTriangle(t);
         t.AddPodpera(0, 100, P_X | P_Y, 0);
         t.AddPodpera(200, 100, P_X, 0);
     },
     TMechanismKind::Rotation,
     1,
     {2, 3}},
    // Square without a diagonal on a pin and a roller (tests/data/mechanism.trs): the top
    // joints sway sideways.
    {"square sways",
     [](TPrutovaSoustava& t) {
         t.AddPrut(40, 120, 120, 120);
         t.AddPrut(120, 120, 120, 40);
         t.AddPrut(120, 40, 40, 40);
         t.AddPrut(40, 40, 40, 120);
         t.AddPodpera(40, 120, P_X | P_Y, 0);
         t.AddPodpera(120, 120, P_Y, 0);
     },
     TMechanismKind::Internal,
     1,
     {3, 4}},
    // A bar hanging from a pin turns about it: a finite motion, however the bar lies.
    {"pendulum",
     [](TPrutovaSoustava& t) {
         buildTriangle(t);
         t.AddPodpera(0, 100, P_X | P_Y, 0);
         t.AddPodpera(200, 100, P_Y, 0);
         t.AddPrut(200, 100, 260, 180);
     },
     TMechanismKind::Internal,
     1,
     {4}},
    // Two bars in one line between pins: their joint can start to move across the line, but
    // the bars stretch at second order at once.
    {"bars in line",
     [](TPrutovaSoustava& t) {
         t.AddPrut(0, 0, 30, 40);
         t.AddPrut(30, 40, 60, 80);
         t.AddPodpera(0, 0, P_X | P_Y, 0);
         t.AddPodpera(60, 80, P_X | P_Y, 0);
     },
     TMechanismKind::Infinitesimal,
     1,
     {2}},
    // A sound braced square with a loaded point nowhere near a bar.
    {"lone load",
     [](TPrutovaSoustava& t) {
         BuildBracedSquare(t);
         t.AddSila(300, 300, 1, 90);
     },
     TMechanismKind::Internal,
     2,
     {5}},
};

class MechanismKinds : public testing::TestWithParam<TCase> {};

TEST_P(MechanismKinds, NameTheKindAndTheJointsThatMove) {
    const TCase& c = GetParam();
    TPrutovaSoustava t;
    c.Build(t);
    const TMechanism m = FindMechanisms(t);
    EXPECT_EQ(m.Kind, c.Kind);
    EXPECT_EQ(m.Modes, c.Modes);
    EXPECT_EQ(m.Modes, modesBySvd(t));
    EXPECT_EQ(m.MovingJoints, c.Joints);
    expectModeIsFree(t, m);
}

INSTANTIATE_TEST_SUITE_P(Trusses, MechanismKinds, testing::ValuesIn(Cases));

// Three rollers whose lines meet in one point that is no joint: x fixed at (0, 100) and
// (200, 100), y fixed at (100, 0); the truss turns about (100, 100).
TEST(Mechanisms, ConcurrentRollersTurnTheTrussAboutTheirMeetingPoint) {
    TPrutovaSoustava t;
    buildTriangle(t);
    t.AddPodpera(0, 100, P_X, 0);
    t.AddPodpera(200, 100, P_X, 0);
    t.AddPodpera(100, 0, P_Y, 0);
    const TMechanism m = FindMechanisms(t);
    ASSERT_EQ(m.Kind, TMechanismKind::Rotation);
    EXPECT_EQ(m.CentreX, 100);
    EXPECT_EQ(m.CentreY, 100);
    EXPECT_EQ(m.RigidModes, 1);
    expectModeIsFree(t, m);
    // A turn about (100, 100) moves (0, 100) and (200, 100) only along y, oppositely.
    EXPECT_NEAR(m.FirstMode[0].Uy, -m.FirstMode[1].Uy, 1e-12);
    EXPECT_NEAR(std::max(std::abs(m.FirstMode[2].Ux), std::abs(m.FirstMode[2].Uy)), 1, 1e-12);
}

TEST(Mechanisms, ASoundTrussHasNone) {
    TPrutovaSoustava t;
    BuildBracedSquare(t);
    const TMechanism m = FindMechanisms(t);
    EXPECT_EQ(m.Modes, 0);
    EXPECT_EQ(m.Kind, TMechanismKind::None);
    EXPECT_TRUE(m.MovingJoints.empty());
}

// The 100-joint bridge with one diagonal taken out: the panel shears and the part beyond it
// moves; everything else holds.
TEST(Mechanisms, BridgeWithoutADiagonal) {
    TBridgeShape shape;
    shape.Panels = 49;
    TPrutovaSoustava t;
    BuildPratt(t, shape);
    ASSERT_EQ(t.StycnikCount(), 100);
    // Take out a diagonal (a bar along neither axis) beyond the middle, then let a move that
    // moves nothing rebuild the joints.
    const auto diagonal = std::find_if(t.Pruty.begin(), t.Pruty.end(), [](const auto& p) {
        return p->Sa_X != p->Sb_X && p->Sa_Y != p->Sb_Y && std::min(p->Sa_X, p->Sb_X) > 500;
    });
    ASSERT_NE(diagonal, t.Pruty.end());
    t.Pruty.erase(diagonal);
    t.MoveStycnik(QPoint(-1, -1), QPoint(-1, -1));
    ASSERT_EQ(t.StycnikCount(), 100);
    const TMechanism m = FindMechanisms(t);
    EXPECT_EQ(m.Modes, 1);
    EXPECT_EQ(m.Modes, modesBySvd(t));
    EXPECT_EQ(m.Kind, TMechanismKind::Internal);
    EXPECT_FALSE(m.MovingJoints.empty());
    expectModeIsFree(t, m);
}

TEST(MechanismText, JointListsAndSentences) {
    ResetConstantsToCzech();
    EXPECT_EQ(JointListText({4}), "4");
    EXPECT_EQ(JointListText({4, 7}), "4 a 7");
    EXPECT_EQ(JointListText({1, 2, 3}), "1, 2 a 3");
    EXPECT_EQ(JointListText({1, 2, 3, 4, 5, 6, 7, 8, 9, 50}), "1, 2, 3, 4, 5, 6, 7, … a 50");

    TMechanism m;
    m.Kind = TMechanismKind::Internal;
    m.MovingJoints = {4, 7};
    EXPECT_EQ(DescribeMechanism(m),
              "Mechanismus: styčníky 4 a 7 se mohou pohnout — přidejte prut nebo podporu");
    m.MovingJoints = {4};
    EXPECT_EQ(DescribeMechanism(m),
              "Mechanismus: styčník 4 se může pohnout — přidejte prut nebo podporu");

    // The English language file gives the same sentences in English.
    LanguageManager.SetFolder(QStringLiteral(TRABEX_LANGS));
    LanguageManager.SetLanguageCode(QStringLiteral("en"));
    TranslateConstants();
    m.MovingJoints = {4, 7};
    EXPECT_EQ(DescribeMechanism(m), "Mechanism: joints 4 and 7 can move — add a bar or a support");
    m.Kind = TMechanismKind::Rotation;
    m.CentreX = 120;
    m.CentreY = 40;
    EXPECT_EQ(DescribeMechanism(m), "The supports let the whole truss turn about (120, 40)");
    m.Kind = TMechanismKind::Translation;
    m.AlongX = m.AlongY = true;
    EXPECT_EQ(DescribeMechanism(m),
              "The supports let the whole truss slide along x and y — add a support");
    ResetConstantsToCzech();
}

} // namespace
