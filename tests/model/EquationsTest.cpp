// Joint equations, the distribution of the solution, the report, the listing and the probe.
#include "TrussSystem.h"
#include "UMatrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {

void buildBarOnTwoSupports(TPrutovaSoustava& t) {
    t.AddPrut(0, 0, 100, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddPodpera(100, 0, P_Y, 0);
    t.AddSila(100, 0, 10, 90);
}

TEST(Equations, BarOnTwoSupportsIsAssembledAsDerived) {
    TPrutovaSoustava t;
    buildBarOnTwoSupports(t);
    ASSERT_EQ(t.Solve(), 0);
    const TEquationStore& s = EquationStore;
    ASSERT_EQ(s.N, 4);
    EXPECT_EQ(s.A[1][1], 1);
    EXPECT_EQ(s.A[1][2], 1);
    EXPECT_EQ(s.A[2][3], 1);
    EXPECT_EQ(s.A[3][1], -1);
    EXPECT_EQ(s.A[4][4], 1);
    EXPECT_EQ(s.B[4], -10);
    // cos 90 degrees in extended precision is a residue, not an exact zero.
    EXPECT_NE(s.A[1][3], 0);
    EXPECT_LT(std::fabs(s.A[1][3]), 1e-15L);
    EXPECT_NEAR(t.Prut(0).Sila, 0, 1e-12);
    EXPECT_NEAR(t.Podpera(0).ReactionX, 0, 1e-12);
    EXPECT_NEAR(t.Podpera(0).ReactionY, 0, 1e-12);
    EXPECT_NEAR(t.Podpera(1).ReactionY, -10, 1e-12);
}

TEST(Equations, EmptyTrussHasNoDimension) {
    TPrutovaSoustava t;
    EXPECT_EQ(t.Solve(), 1);
    QStringList lines;
    t.DescribeEquations(lines);
    EXPECT_EQ(lines, QStringList({QString::fromUtf8("Dimenze: 0"), "", "Koeficienty: ", "",
                                  "Konstanty:", "", "Chyba: ",
                                  QString::fromUtf8("Matice musí mít rozměr větší než 1.")}));
}

TEST(Equations, ListingOfASolvedTruss) {
    TPrutovaSoustava t;
    buildBarOnTwoSupports(t);
    t.Solve();
    QStringList lines;
    t.DescribeEquations(lines);
    ASSERT_EQ(lines.size(), 3 + 4 + 2 + 4 + 1 + 1 + 4 + 1);
    // Residues of cos 90 degrees show their sign.
    EXPECT_EQ(lines[3], QStringLiteral("    1.0    1.0   -0.0    0.0"));
    EXPECT_EQ(lines[5], QStringLiteral("   -1.0    0.0    0.0   -0.0"));
    EXPECT_EQ(lines[12], QStringLiteral("  -10.0"));
    EXPECT_EQ(lines[14], QString::fromUtf8("Řešení:"));
    EXPECT_EQ(lines[18], QStringLiteral("4:   -10.0"));
    EXPECT_EQ(lines.last(), QString());
}

TEST(Equations, CollinearBarsAtAFreeJointAreAMechanism) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(100, 0, 200, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddPodpera(200, 0, P_X | P_Y, 0);
    t.AddSila(100, 0, 10, 90);
    EXPECT_EQ(t.Solve(), 2);
    QStringList lines;
    t.DescribeEquations(lines);
    EXPECT_EQ(lines.last(), QString::fromUtf8("Zadané parametry nemají žádné řešení."));
}

TEST(Equations, FailedSolveKeepsThePreviousForces) {
    TPrutovaSoustava t;
    buildBarOnTwoSupports(t);
    t.Solve();
    const double before = t.Podpera(1).ReactionY;
    t.AddPrut(100, 0, 200, 0); // a free end: mechanism
    EXPECT_EQ(t.Solve(), 2);
    EXPECT_EQ(t.Podpera(1).ReactionY, before);
}

TEST(Equations, RedundantBarTakesNoPart) {
    TPrutovaSoustava t;
    t.AddPrut(0, 100, 200, 100);
    t.AddPrut(200, 100, 100, 0);
    t.AddPrut(100, 0, 0, 100);
    t.AddPodpera(0, 100, P_X | P_Y, 0);
    t.AddPodpera(200, 100, P_Y, 0);
    t.AddSila(100, 0, 10, 90);
    ASSERT_EQ(t.Solve(), 0);
    const double base = t.Prut(0).Sila;
    t.AddPrut(0, 100, 100, 0); // parallel to bar 3: one surplus unknown, number 7
    EXPECT_EQ(t.Prut(3).Number, 7);
    EXPECT_EQ(t.StaticIndeterminacy(), 1);
    ASSERT_EQ(t.Solve(), 0);
    EXPECT_NEAR(t.Prut(0).Sila, base, 1e-12);
    EXPECT_EQ(t.Prut(3).Sila, 0);
}

TEST(Equations, MoreThanTwoHundredUnknownsIsRefusedAndSmallerSolvesAgain) {
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    // A 10 x 10 grid of joints with every bar of the grid and both diagonals of each cell.
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            if (i < 9)
                t.AddPrut(i * 20, j * 20, i * 20 + 20, j * 20);
            if (j < 9)
                t.AddPrut(i * 20, j * 20, i * 20, j * 20 + 20);
            if (i < 9 && j < 9) {
                t.AddPrut(i * 20, j * 20, i * 20 + 20, j * 20 + 20);
                t.AddPrut(i * 20 + 20, j * 20, i * 20, j * 20 + 20);
            }
        }
    ASSERT_GT(t.PrutCount(), 200);
    EXPECT_THROW(t.Solve(), ERangeError);
    EXPECT_EQ(t.StycnikCount(), 100);
    TPrutovaSoustava small;
    buildBarOnTwoSupports(small);
    EXPECT_EQ(small.Solve(), 0);
    EXPECT_NEAR(small.Podpera(1).ReactionY, -10, 1e-12);
}

TEST(Equations, RefusedTrussLeavesNoOtherTrussInTheStore) {
    TPrutovaSoustava solved;
    buildBarOnTwoSupports(solved);
    ASSERT_EQ(solved.Solve(), 0);
    ASSERT_GT(EquationStore.N, 0);
    // 201 bars between the same two joints: one unknown more than the equations hold.
    TPrutovaSoustava over;
    over.RecordSnapshots = false;
    for (int i = 0; i < MaxEquations + 1; ++i)
        over.AddPrut(0, 0, 20, 0);
    EXPECT_THROW(over.Solve(), ERangeError);
    EXPECT_EQ(EquationStore.N, 0);
    EXPECT_EQ(EquationStore.Err, errNoSolution);
}

TEST(Report, HeadingsAndEntityLines) {
    TPrutovaSoustava t;
    buildBarOnTwoSupports(t);
    t.Solve();
    const QString r = t.Describe();
    EXPECT_TRUE(r.startsWith(QString::fromUtf8(
        "Počet prutů: 1 ====================\r\n  1: Souř.: 0, 0, 100, 0, Síla:0.0\r\n")));
    EXPECT_TRUE(r.contains(QString::fromUtf8(
        "\r\nPočet podpěr: 2 ====================\r\n  0 (0, 0)\r\n  0 (100, 0)\r\n")));
    EXPECT_TRUE(r.contains(QString::fromUtf8("\r\nPočet vnějších sil: 1 =================\r\n")));
    EXPECT_TRUE(r.contains(QString::fromUtf8(
        "\r\nPočet styčníků: 2 ====================\r\n Styčník č.: 1 (0, 0)\r\n")));
    EXPECT_TRUE(r.endsWith(QString::fromUtf8("  0: Síla=10.0  Úhel: 90.0\r\n")));
}

TEST(Probe, NoJointLeavesEverythingAlone) {
    TPrutovaSoustava t;
    buildBarOnTwoSupports(t);
    TProbeGrid grid{};
    grid[0][0].SumAbs = 42;
    t.MinSumAbs = 7;
    EXPECT_EQ(t.ProbeStycnik(55, 55, 20, grid), -1);
    EXPECT_EQ(grid[0][0].SumAbs, 42);
    EXPECT_EQ(t.MinSumAbs, 7);
}

TEST(Probe, StepZeroGivesThePresentTotalsEverywhere) {
    TPrutovaSoustava t;
    t.AddPrut(0, 100, 200, 100);
    t.AddPrut(200, 100, 100, 0);
    t.AddPrut(100, 0, 0, 100);
    t.AddPodpera(0, 100, P_X | P_Y, 0);
    t.AddPodpera(200, 100, P_Y, 0);
    t.AddSila(100, 0, 10, 90);
    t.Solve();
    const double sumAbs = t.SumAbsSila();
    const int snapshots = t.SnapshotCount();
    TProbeGrid grid{};
    EXPECT_EQ(t.ProbeStycnik(100, 0, 0, grid), 2);
    for (const auto& row : grid)
        for (const TProbeResult& cell : row) {
            EXPECT_DOUBLE_EQ(cell.SumAbs, sumAbs);
            EXPECT_DOUBLE_EQ(cell.SumSq, t.SumSqSila());
        }
    EXPECT_DOUBLE_EQ(t.MinSumAbs, sumAbs);
    EXPECT_DOUBLE_EQ(t.MaxSumAbs, sumAbs);
    EXPECT_EQ(t.SnapshotCount(), snapshots);
    EXPECT_EQ(t.Stycnik(2).X, 100);
}

TEST(Probe, CellsBeyondTheIntegerRangeAreRefused) {
    constexpr int edge = std::numeric_limits<int>::max();
    TProbeGrid grid{};
    // Three steps of 20 from the joint: 60 pixels must still fit on each side.
    for (const auto& [x, fits] : {std::pair{edge - 60, true}, std::pair{edge - 59, false}}) {
        TPrutovaSoustava t;
        t.AddPrut(x, 0, x, 20);
        if (fits)
            EXPECT_GE(t.ProbeStycnik(x, 0, 20, grid), 0) << x;
        else
            EXPECT_THROW(t.ProbeStycnik(x, 0, 20, grid), ERangeError) << x;
    }
    TPrutovaSoustava low;
    low.AddPrut(0, std::numeric_limits<int>::min() + 59, 20, 0);
    EXPECT_THROW(low.ProbeStycnik(0, std::numeric_limits<int>::min() + 59, 20, grid), ERangeError);
}

TEST(Probe, HigherApexCarriesLessForce) {
    TPrutovaSoustava t;
    t.AddPrut(0, 100, 200, 100);
    t.AddPrut(200, 100, 100, 40);
    t.AddPrut(100, 40, 0, 100);
    t.AddPodpera(0, 100, P_X | P_Y, 0);
    t.AddPodpera(200, 100, P_Y, 0);
    t.AddSila(100, 40, 10, 90);
    TProbeGrid grid{};
    ASSERT_GE(t.ProbeStycnik(100, 40, 20, grid), 0);
    // Column index 3 + dy: moving the apex up (dy < 0) lowers the total.
    EXPECT_LT(grid[3][0].SumAbs, grid[3][3].SumAbs);
    EXPECT_LT(grid[3][3].SumAbs, grid[3][5].SumAbs);
    // Moving it onto the base line (dy = +3 steps) makes a mechanism: the copy's bars hold 0.
    EXPECT_EQ(grid[3][6].SumAbs, 0);
    EXPECT_EQ(t.MinSumAbs, 0);
    EXPECT_GE(t.MaxSumAbs, grid[3][5].SumAbs);
}

} // namespace
