// Undo and redo through text snapshots.
#include "TrussSystem.h"

#include <gtest/gtest.h>

namespace {

TEST(Undo, FirstEditUndoneAndRedone) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    EXPECT_EQ(t.SnapshotPos, 1);
    t.Undo();
    EXPECT_EQ(t.PrutCount(), 0);
    EXPECT_EQ(t.StycnikCount(), 0);
    t.Redo();
    ASSERT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.StycnikCount(), 2);
    EXPECT_TRUE(t.RecordSnapshots);
}

TEST(Undo, NewEditAfterUndoDropsRedo) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(0, 0, 0, 100);
    t.Undo();
    t.AddSila(0, 0, 5, 0);
    EXPECT_EQ(t.SnapshotCount(), 2);
    t.Redo();
    EXPECT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.SilaCount(), 1);
}

TEST(Undo, NothingToUndoOrRedo) {
    TPrutovaSoustava t;
    t.Undo();
    EXPECT_EQ(t.SnapshotPos, 0);
    t.AddPrut(0, 0, 100, 0);
    t.Redo();
    EXPECT_EQ(t.SnapshotPos, 1);
    EXPECT_EQ(t.PrutCount(), 1);
}

TEST(Undo, ReplayRenumbersBars) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(100, 0, 100, 100);
    t.AddPrut(0, 0, 0, 100);
    t.MoveStycnik(QPoint(100, 100), QPoint(100, 0)); // bar 2 collapses, number 2 is free
    t.PushSnapshot();
    ASSERT_EQ(t.PrutCount(), 2);
    EXPECT_EQ(t.Prut(1).Number, 3);
    t.Undo();
    t.Redo();
    EXPECT_EQ(t.Prut(0).Number, 1);
    EXPECT_EQ(t.Prut(1).Number, 2);
}

TEST(Undo, DragIsOneStep) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    for (int x = 100; x <= 200; x += 20)
        t.MoveStycnik(QPoint(x, 0), QPoint(x + 20, 0));
    t.PushSnapshot();
    EXPECT_EQ(t.Prut(0).Sb_X, 220);
    t.Undo();
    EXPECT_EQ(t.Prut(0).Sb_X, 100);
}

} // namespace

namespace {

// A changed stiffness or unit is a change of the document: undone, redone, and noticed.
TEST(Undo, StiffnessAndUnitsAreStepsAndChanges) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    t.MarkSaved();
    t.Prut(0).EA = 4;
    t.Units.Delka = 0.5;
    EXPECT_TRUE(t.IsModified());
    t.PushSnapshot();
    t.Undo();
    EXPECT_EQ(t.Prut(0).EA, 1);
    EXPECT_EQ(t.Units.Delka, 1);
    EXPECT_FALSE(t.IsModified());
    t.Redo();
    EXPECT_EQ(t.Prut(0).EA, 4);
    EXPECT_EQ(t.Units.Delka, 0.5);
}

} // namespace
