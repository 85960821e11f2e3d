// Editing a truss: joints and vectors derived from bars, supports and loads; numbering; moves.
#include "TrussSystem.h"

#include <gtest/gtest.h>

namespace {

class TrussSystemTest : public ::testing::Test {
protected:
    TPrutovaSoustava t;
};

TEST_F(TrussSystemTest, FirstBarMakesTwoJoints) {
    t.AddPrut(0, 0, 100, 0);
    ASSERT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.Prut(0).Number, 1);
    ASSERT_EQ(t.StycnikCount(), 2);
    EXPECT_EQ(t.Stycnik(0).Number, 1);
    ASSERT_EQ(t.Stycnik(0).Vektory.size(), 1u);
    EXPECT_NEAR(t.Stycnik(0).Vektory[0].Uhel, 0, 1e-12);
    EXPECT_EQ(t.Stycnik(1).Number, 2);
    EXPECT_NEAR(t.Stycnik(1).Vektory[0].Uhel, 180, 1e-12);
    EXPECT_FALSE(t.Stycnik(1).Vektory[0].Known);
}

TEST_F(TrussSystemTest, SupportTakesTheNextUnknownsAndJoinsTheJoint) {
    t.AddPrut(0, 0, 100, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    EXPECT_EQ(t.Podpera(0).ReactionXNumber, 2);
    EXPECT_EQ(t.Podpera(0).ReactionYNumber, 3);
    EXPECT_EQ(t.StycnikCount(), 2);
    const auto& v = t.Stycnik(0).Vektory;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_NEAR(v[1].Uhel, 0, 0);
    EXPECT_NEAR(v[2].Uhel, 90, 0);
    EXPECT_EQ(v[2].Number, 3);
    EXPECT_EQ(t.ReactionCount(), 2);
}

TEST_F(TrussSystemTest, LoadIsAKnownVector) {
    t.AddSila(40, 40, 10, 90);
    ASSERT_EQ(t.StycnikCount(), 1);
    const TVektor& v = t.Stycnik(0).Vektory.at(0);
    EXPECT_TRUE(v.Known);
    EXPECT_EQ(v.Number, 0);
    EXPECT_EQ(v.Sila, 10);
    EXPECT_EQ(v.Uhel, 90);
}

TEST_F(TrussSystemTest, DuplicateReversedBarStaysUntilAMove) {
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(100, 0, 0, 0);
    EXPECT_EQ(t.PrutCount(), 2);
    t.MoveStycnik(QPoint(500, 500), QPoint(0, 0)); // nothing lies there, but the move tidies
    ASSERT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.Prut(0).Sa_X, 0);
    EXPECT_EQ(t.Prut(0).Number, 1);
}

TEST_F(TrussSystemTest, MoveKeepsTheFirstOfEachPairOfPointsInOrder) {
    t.AddPrut(0, 0, 100, 0);   // 1, stays
    t.AddPrut(0, 0, 0, 100);   // 2, stays
    t.AddPrut(100, 0, 0, 0);   // 3, bar 1 reversed
    t.AddPrut(50, 50, 50, 50); // 4, of length 0
    t.AddPrut(0, 100, 0, 0);   // 5, bar 2 reversed
    t.AddPrut(0, 100, 100, 0); // 6, stays
    t.AddPrut(0, 0, 100, 0);   // 7, bar 1 again
    t.AddPrut(100, 0, 0, 100); // 8, bar 6 reversed
    t.MoveStycnik(QPoint(500, 500), QPoint(0, 0));
    ASSERT_EQ(t.PrutCount(), 3);
    EXPECT_EQ(t.Prut(0).Number, 1);
    EXPECT_EQ(t.Prut(1).Number, 2);
    EXPECT_EQ(t.Prut(2).Number, 6);
    EXPECT_EQ(t.Prut(2).Sa_X, 0);
    EXPECT_EQ(t.Prut(2).Sb_X, 100);
}

TEST_F(TrussSystemTest, DraggingAnEndOntoTheOtherRemovesTheBarAndFreesItsNumber) {
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(100, 0, 100, 100);
    t.AddPrut(100, 100, 0, 0);
    t.MoveStycnik(QPoint(100, 100), QPoint(100, 0));
    // Bar 2 collapsed; bar 3 now equals bar 1 reversed and goes as well.
    ASSERT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.StycnikCount(), 2);
    t.AddPrut(0, 0, 0, 100);
    EXPECT_EQ(t.Prut(1).Number, 2);
}

TEST_F(TrussSystemTest, MoveCarriesSupportsAndLoadsAndRenumbersJoints) {
    t.AddSila(200, 200, 5, 0);
    t.AddPrut(0, 0, 100, 0);
    t.AddPodpera(100, 0, P_Y, 0);
    EXPECT_EQ(t.Stycnik(0).X, 200); // the load's joint came first
    t.MoveStycnik(QPoint(100, 0), QPoint(120, 20));
    EXPECT_EQ(t.Podpera(0).X, 120);
    EXPECT_EQ(t.Podpera(0).Y, 20);
    EXPECT_EQ(t.Prut(0).Sb_X, 120);
    // Rebuilt in the order bars, supports, loads.
    EXPECT_EQ(t.Stycnik(0).X, 0);
    EXPECT_EQ(t.Stycnik(1).X, 120);
    EXPECT_EQ(t.Stycnik(2).X, 200);
    EXPECT_EQ(t.Stycnik(2).Number, 3);
    EXPECT_EQ(t.Podpera(0).ReactionYNumber, 2); // kept for the support's lifetime
}

TEST_F(TrussSystemTest, ZeroLengthBarAttachesNothingAndBeeps) {
    const int beeps = BeepCount;
    t.AddPrut(10, 10, 10, 10);
    EXPECT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.StycnikCount(), 0);
    EXPECT_EQ(BeepCount, beeps + 1);
}

TEST_F(TrussSystemTest, TriangleOnPinAndRollerIsDeterminate) {
    t.AddPrut(0, 100, 200, 100);
    t.AddPrut(200, 100, 100, 0);
    t.AddPrut(100, 0, 0, 100);
    t.AddPodpera(0, 100, P_X | P_Y, 0);
    t.AddPodpera(200, 100, P_Y, 0);
    EXPECT_EQ(t.StaticIndeterminacy(), 0);
    t.AddPrut(0, 100, 100, 200);
    EXPECT_EQ(t.StaticIndeterminacy(), -1);
}

TEST_F(TrussSystemTest, HundredJointsIsTheLimit) {
    t.RecordSnapshots = false;
    for (int i = 0; i < 50; ++i)
        t.AddPrut(i * 20, 0, i * 20, 20);
    ASSERT_EQ(t.StycnikCount(), 100);
    t.AddPrut(0, 0, 2000, 2000);
    EXPECT_EQ(t.PrutCount(), 51);
    EXPECT_EQ(t.StycnikCount(), 100);
    EXPECT_EQ(t.FindStycnik(2000, 2000), -1);
    EXPECT_EQ(t.Stycnik(t.FindStycnik(0, 0)).Vektory.size(), 2u);
}

TEST_F(TrussSystemTest, JointNumbersFillTheSmallestGap) {
    t.AddPrut(0, 0, 20, 0);
    t.AddSila(40, 0, 1, 0);
    t.Stycnik(0).Number = 2;
    t.Stycnik(1).Number = 1;
    t.Stycnik(2).Number = 4;
    t.AddSila(60, 0, 1, 0);
    EXPECT_EQ(t.Stycnik(3).Number, 3);
}

TEST_F(TrussSystemTest, TotalsAndBounds) {
    EXPECT_EQ(t.MaxPrutSila(), 0);
    EXPECT_EQ(t.MinPrutSila(), 0);
    t.AddPrut(0, 0, 20, 0);
    t.AddPrut(0, 0, 0, 20);
    t.Prut(0).Sila = -3;
    t.Prut(1).Sila = -4;
    EXPECT_EQ(t.SumAbsSila(), 7);
    EXPECT_EQ(t.SumSqSila(), 25);
    EXPECT_EQ(t.MaxPrutSila(), 0);
    EXPECT_EQ(t.MinPrutSila(), -4);
}

TEST_F(TrussSystemTest, ClearKeepsHistoryAndFileName) {
    t.AddPrut(0, 0, 20, 0);
    t.FileName = QStringLiteral("x.trs");
    t.Clear();
    EXPECT_EQ(t.PrutCount(), 0);
    EXPECT_EQ(t.StycnikCount(), 0);
    EXPECT_EQ(t.SnapshotCount(), 1);
    EXPECT_EQ(t.FileName, QStringLiteral("x.trs"));
}

} // namespace
