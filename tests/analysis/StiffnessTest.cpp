// The stiffness solve against the force method worked by hand, the joint method on determinate
// trusses, and closed forms for displacements and units.
#include "AnalysisCases.h"
#include "StiffnessSolver.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double Tight = 1e-9;

void expectForces(const TStiffnessResult& r, const std::vector<double>& expected) {
    ASSERT_TRUE(r.Solved());
    ASSERT_EQ(r.BarForces.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(r.BarForces[i], expected[i], Tight * 10) << "bar " << i;
}

// Braced square, both diagonals EA 1. Force method, redundant X = force in diagonal 2-4, primary
// = the square with diagonal 1-3 only. Load case N0 (joints 4, 3, 2 in turn): top -10, right
// -10, diagonal 1-3 10 sqrt2, bottom 0, left 0. Unit case n (X = 1): every side -1/sqrt2,
// diagonal 1-3 +1, diagonal 2-4 +1. Sides L = 100, diagonals 100 sqrt2.
//   d10 = sum N0 n L = 2 * 10/sqrt2 * 100 + 10 sqrt2 * 100 sqrt2 = 1000 sqrt2 + 2000
//   d11 = sum n^2 L = 4 * 50 + 2 * 100 sqrt2 = 200 + 200 sqrt2
//   X = -d10 / d11 = -5 sqrt2;  N = N0 + X n.
// Reactions are those of the determinate outer support: pin (-10, 10), roller -10.
// Displacement of joint 4 along x by unit load (n' = N0 / 10):
//   u = sum N n' L = 5 * 100 + 5 * 100 + 5 sqrt2 * sqrt2 * 100 sqrt2 = 1000 (1 + sqrt2).
TEST(StiffnessSolve, BracedSquareSharesTheShearBetweenItsDiagonals) {
    TPrutovaSoustava t;
    BuildBracedSquare(t);
    const TStiffnessResult r = SolveStiffness(t);
    expectForces(r, {5, -5, -5, 5, 5 * Sqrt2, -5 * Sqrt2});
    EXPECT_NEAR(r.Reactions[0].X, -10, Tight);
    EXPECT_NEAR(r.Reactions[0].Y, 10, Tight);
    EXPECT_NEAR(r.Reactions[1].Y, -10, Tight);
    EXPECT_EQ(r.Reactions[1].X, 0); // the roller does not fix x
    EXPECT_NEAR(r.Displacements[3].Ux, 1000 * (1 + Sqrt2), 1e-7);
    EXPECT_EQ(r.Displacements[0].Ux, 0);
    EXPECT_EQ(r.Displacements[0].Uy, 0);
    EXPECT_LT(r.RelativeResidual, 1e-12);
}

// The same square with diagonal 1-3 three times as stiff (EA 3): its terms are divided by 3.
//   d10 = 1000 sqrt2 + 2000 / 3,  d11 = 200 + 100 sqrt2 + 100 sqrt2 / 3 = 200 + 400 sqrt2 / 3
//   X = -(15 sqrt2 + 10) / (3 + 2 sqrt2) = 30 - 25 sqrt2  (times (3 - 2 sqrt2) / 1)
// Sides: -X / sqrt2 = 25 - 15 sqrt2 for bottom and left, -10 + that for top and right;
// diagonal 1-3: 10 sqrt2 + X = 30 - 15 sqrt2.
TEST(StiffnessSolve, AStifferDiagonalTakesMoreOfTheShear) {
    TPrutovaSoustava t;
    BuildBracedSquare(t, 3);
    const double x = 30 - 25 * Sqrt2, side = 25 - 15 * Sqrt2;
    expectForces(SolveStiffness(t), {side, side - 10, side - 10, side, 30 - 15 * Sqrt2, x});
}

// Three bars from pins A (100, 100), B (175, 100), C (250, 100) to joint D (175, 200): the
// middle one vertical (h = 100), the sides at cos t = 0.8, sin t = 0.6 from it (L = 125).
// Downward P (y down): compatibility d_side = d cos t, so N_mid = P / (1 + 2 cos^3 t) and
// N_side = P cos^2 t / (1 + 2 cos^3 t); D moves down by P h / (EA (1 + 2 cos^3 t)).
// Sideways Q along +x: the middle bar is square to the motion and takes nothing, the sides
// +-Q / (2 sin t); D moves by Q h / (2 EA sin^2 t cos t).
TEST(StiffnessSolve, ThreeBarTrussFollowsItsClosedForm) {
    const double p = 10, q = 4, c = 0.8, s = 0.6, h = 100, ea = 50;
    TPrutovaSoustava t;
    t.AddPrut(100, 100, 175, 200);
    t.AddPrut(175, 100, 175, 200);
    t.AddPrut(250, 100, 175, 200);
    for (int i = 0; i < 3; ++i)
        t.Prut(i).EA = ea;
    for (int x : {100, 175, 250})
        t.AddPodpera(x, 100, P_X | P_Y, 0);
    t.AddSila(175, 200, p, 90);
    t.AddSila(175, 200, q, 0);
    const double k = 1 + 2 * c * c * c;
    const double mid = p / k, side = p * c * c / k, sway = q / (2 * s);
    const TStiffnessResult r = SolveStiffness(t);
    expectForces(r, {side + sway, mid, side - sway});
    const TDisplacement& d = r.Displacements[1]; // D is the second joint made
    EXPECT_NEAR(d.Uy, p * h / (ea * k), Tight);
    EXPECT_NEAR(d.Ux, q * h / (2 * ea * s * s * c), Tight);
    // Each pin holds its bar's pull: B takes the middle bar's force upward.
    EXPECT_NEAR(r.Reactions[1].Y, -mid, Tight);
    EXPECT_NEAR(r.Reactions[1].X, 0, Tight);
}

// Two spans: bottom joints 1 (40, 140), 2 (140, 140), 3 (240, 140), top joints 4 (90, 40),
// 5 (190, 40); pin at 1, rollers at 2 and 3, P = 10 down at 4. Diagonals L = 50 sqrt5 with
// cosines (1, 2) / sqrt5. Redundant X = the middle support's push on joint 2, positive down.
// Primary (span 200 on 1 and 3) under P: reactions 7.5 and 2.5 up;
//   N0: 1-2 3.75, 2-3 1.25, 4-5 -2.5, 1-4 -3.75 sqrt5, 4-2 -1.25 sqrt5, 2-5 1.25 sqrt5,
//       5-3 -1.25 sqrt5.
// Under a unit load down at 2: reactions 0.5 up each;
//   n: 1-2 0.25, 2-3 0.25, 4-5 -0.5, 1-4 -0.25 sqrt5, 4-2 0.25 sqrt5, 2-5 0.25 sqrt5,
//      5-3 -0.25 sqrt5.
//   d10 = sum N0 n L = 250 + 312.5 sqrt5,  d11 = sum n^2 L = 37.5 + 62.5 sqrt5
//   X = -d10 / d11 = -(565 + 25 sqrt5) / 116  (about -5.3526: the middle support pushes up)
// Reactions (y down): joint 1 -(7.5 + 0.5 X), joint 3 -(2.5 + 0.5 X), joint 2 X.
TEST(StiffnessSolve, TwoSpanTrussOnThreeSupports) {
    TPrutovaSoustava t;
    t.AddPrut(40, 140, 140, 140);
    t.AddPrut(140, 140, 240, 140);
    t.AddPrut(90, 40, 190, 40);
    t.AddPrut(40, 140, 90, 40);
    t.AddPrut(90, 40, 140, 140);
    t.AddPrut(140, 140, 190, 40);
    t.AddPrut(190, 40, 240, 140);
    t.AddPodpera(40, 140, P_X | P_Y, 0);
    t.AddPodpera(140, 140, P_Y, 0);
    t.AddPodpera(240, 140, P_Y, 0);
    t.AddSila(90, 40, 10, 90);
    ASSERT_EQ(t.StaticIndeterminacy(), 1);
    const double x = -(565 + 25 * Sqrt5) / 116;
    const std::vector<double> n0 = {3.75,          1.25,         -2.5,         -3.75 * Sqrt5,
                                    -1.25 * Sqrt5, 1.25 * Sqrt5, -1.25 * Sqrt5};
    const std::vector<double> n1 = {0.25,         0.25,         -0.5,         -0.25 * Sqrt5,
                                    0.25 * Sqrt5, 0.25 * Sqrt5, -0.25 * Sqrt5};
    std::vector<double> expected;
    for (size_t i = 0; i < n0.size(); ++i)
        expected.push_back(n0[i] + x * n1[i]);
    const TStiffnessResult r = SolveStiffness(t);
    expectForces(r, expected);
    EXPECT_NEAR(r.Reactions[0].Y, -(7.5 + 0.5 * x), Tight);
    EXPECT_NEAR(r.Reactions[1].Y, x, Tight);
    EXPECT_NEAR(r.Reactions[2].Y, -(2.5 + 0.5 * x), Tight);
    EXPECT_NEAR(r.Reactions[0].X, 0, Tight);
}

// One bar of 100 drawing units, 0.01 m each (L = 1 m), EA = 2000 kN, pulled by 10 kN:
// u = N L / EA = 10 * 1 / 2000 = 0.005 m. Twenty parallel copies share the load equally.
TEST(StiffnessSolve, DisplacementsAreInTheLengthUnitAndParallelBarsShare) {
    TPrutovaSoustava t;
    t.Units.Delka = 0.01;
    t.AddPrut(0, 0, 100, 0);
    t.Prut(0).EA = 2000;
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddPodpera(100, 0, P_Y, 0);
    t.AddSila(100, 0, 10, 0);
    TStiffnessResult r = SolveStiffness(t);
    ASSERT_TRUE(r.Solved());
    EXPECT_NEAR(r.BarForces[0], 10, Tight);
    EXPECT_NEAR(r.Displacements[1].Ux, 0.005, 1e-15);
    EXPECT_NEAR(r.Reactions[0].X, -10, Tight);

    for (int i = 1; i < 20; ++i) {
        t.AddPrut(100, 0, 0, 0); // reversed ends change nothing
        t.Prut(i).EA = 2000;
    }
    r = SolveStiffness(t);
    ASSERT_TRUE(r.Solved());
    for (double n : r.BarForces)
        EXPECT_NEAR(n, 0.5, Tight);
    EXPECT_NEAR(r.Displacements[1].Ux, 0.005 / 20, 1e-15);
}

// Every example and test truss that the joint method solves uniquely: the stiffness solve must
// give the same forces and reactions (relative to the largest), whatever the bars' EA.
TEST(StiffnessSolve, DeterminateTrussesGiveTheJointMethodsForces) {
    QStringList files;
    for (const char* folder : {TRABEX_EXAMPLES, TRABEX_TEST_DATA}) {
        const QDir dir(QString::fromUtf8(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.trs")}, QDir::Files))
            files << dir.absoluteFilePath(name);
    }
    int compared = 0;
    for (const QString& file : files) {
        TPrutovaSoustava t;
        try {
            t.LoadFromFile(file);
        } catch (const std::exception&) {
            continue; // files the reader refuses on purpose
        }
        if (t.StaticIndeterminacy() != 0 || t.Solve() != 0)
            continue;
        for (int i = 0; i < t.PrutCount(); ++i)
            t.Prut(i).EA = 1 + (i % 7); // a determinate truss's forces ignore stiffness
        const TStiffnessResult r = SolveStiffness(t);
        ASSERT_TRUE(r.Solved()) << file.toStdString();
        // Relative to the largest force or reaction (a truss whose bars all carry 0 still has
        // its reactions).
        double scale = 0;
        for (int i = 0; i < t.PrutCount(); ++i)
            scale = std::max(scale, std::abs(t.Prut(i).Sila));
        for (int i = 0; i < t.PodperaCount(); ++i)
            scale = std::max(
                {scale, std::abs(t.Podpera(i).ReactionX), std::abs(t.Podpera(i).ReactionY)});
        for (int i = 0; i < t.PrutCount(); ++i)
            EXPECT_NEAR(r.BarForces[static_cast<size_t>(i)], t.Prut(i).Sila, 1e-9 * scale)
                << file.toStdString() << " bar " << i;
        for (int i = 0; i < t.PodperaCount(); ++i) {
            const TPodpera& s = t.Podpera(i);
            if (s.Fixed & P_X) {
                EXPECT_NEAR(r.Reactions[static_cast<size_t>(i)].X, s.ReactionX, 1e-9 * scale);
            }
            if (s.Fixed & P_Y) {
                EXPECT_NEAR(r.Reactions[static_cast<size_t>(i)].Y, s.ReactionY, 1e-9 * scale);
            }
        }
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

// Trusses the stiffness solve cannot answer, and the pieces it leaves out.
TEST(StiffnessSolve, SingularAndDegenerateInput) {
    TPrutovaSoustava empty;
    EXPECT_EQ(SolveStiffness(empty).Status, TStiffnessStatus::NoJoints);

    // Two bars in one line meeting at a free joint: nothing holds it across the line.
    TPrutovaSoustava line;
    line.AddPrut(0, 0, 30, 40);
    line.AddPrut(30, 40, 60, 80);
    line.AddPodpera(0, 0, P_X | P_Y, 0);
    line.AddPodpera(60, 80, P_X | P_Y, 0);
    line.AddSila(30, 40, 5, 0);
    EXPECT_EQ(SolveStiffness(line).Status, TStiffnessStatus::Singular);

    // One unit out of line over 1000 still holds: by statics each bar pulls P / (2 sin a) with
    // sin a = 1 / sqrt(1000^2 + 1).
    line.Zatizeni.clear();
    line.MoveStycnik(QPoint(30, 40), QPoint(1000, 1));
    line.MoveStycnik(QPoint(60, 80), QPoint(2000, 0));
    line.AddSila(1000, 1, 1, 90);
    const TStiffnessResult flat = SolveStiffness(line);
    ASSERT_TRUE(flat.Solved());
    EXPECT_NEAR(flat.BarForces[0], std::sqrt(1000.0 * 1000 + 1) / 2, 1e-6);

    // A loaded joint with no bar, next to a sound triangle.
    TPrutovaSoustava loose;
    loose.AddPrut(0, 100, 200, 100);
    loose.AddPrut(200, 100, 100, 0);
    loose.AddPrut(100, 0, 0, 100);
    loose.AddPodpera(0, 100, P_X | P_Y, 0);
    loose.AddPodpera(200, 100, P_Y, 0);
    loose.AddSila(300, 0, 1, 90);
    EXPECT_EQ(SolveStiffness(loose).Status, TStiffnessStatus::Singular);

    // A bar of length 0 joins nothing; the rest is solved and it stays at 0. A second roller at
    // the first one's place makes the first take the whole reaction.
    TPrutovaSoustava odd;
    odd.AddPrut(0, 100, 200, 100);
    odd.AddPrut(200, 100, 100, 0);
    odd.AddPrut(100, 0, 0, 100);
    odd.AddPrut(100, 0, 100, 0);
    odd.AddPodpera(0, 100, P_X | P_Y, 0);
    odd.AddPodpera(200, 100, P_Y, 0);
    odd.AddPodpera(200, 100, P_Y, 0);
    odd.AddSila(100, 0, 10, 90);
    const TStiffnessResult r = SolveStiffness(odd);
    ASSERT_TRUE(r.Solved());
    EXPECT_EQ(r.IgnoredBars, std::vector<int>{3});
    EXPECT_EQ(r.BarForces[3], 0);
    // Symmetric triangle of height 100 and half span 100 loaded by 10 at the apex: each
    // support takes 5, the chord pulls 5, the rafters push 5 sqrt2.
    EXPECT_NEAR(r.BarForces[0], 5, Tight);
    EXPECT_NEAR(r.BarForces[1], -5 * Sqrt2, Tight);
    EXPECT_NEAR(r.Reactions[1].Y, -5, Tight);
    EXPECT_EQ(r.Reactions[2].Y, 0);
}

// A drag changes the geometry, not the pattern: a solver that keeps its analysis must give what
// a fresh one gives.
TEST(StiffnessSolve, AReusedSolverFollowsTheGeometry) {
    TPrutovaSoustava t;
    BuildBracedSquare(t);
    TStiffnessSolver solver;
    solver.Solve(AnalysisModelOf(t));
    t.MoveStycnik(QPoint(140, 40), QPoint(160, 20));
    const TStiffnessResult again = solver.Solve(AnalysisModelOf(t));
    const TStiffnessResult fresh = SolveStiffness(t);
    ASSERT_TRUE(again.Solved());
    for (size_t i = 0; i < fresh.BarForces.size(); ++i)
        EXPECT_NEAR(again.BarForces[i], fresh.BarForces[i], Tight);
    EXPECT_GT(std::abs(again.BarForces[4] - 5 * Sqrt2), 0.1); // the answer did change
}

} // namespace
