// Whether a truss differs from the state it was created, loaded or saved in.
#include "TrussSystem.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ChangeTracking, NewTrussIsUnchangedUntilEdited) {
    TPrutovaSoustava t;
    EXPECT_FALSE(t.IsModified());
    t.AddPrut(0, 0, 40, 0);
    EXPECT_TRUE(t.IsModified());
    t.Undo();
    EXPECT_FALSE(t.IsModified()) << "back at the empty state";
    t.Redo();
    EXPECT_TRUE(t.IsModified());
}

TEST(ChangeTracking, LoadAndSaveMarkTheStateSaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.trs"));
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 40, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    ASSERT_TRUE(t.SaveToFile(path));
    EXPECT_FALSE(t.IsModified());
    t.AddSila(40, 0, 10, 90);
    EXPECT_TRUE(t.IsModified());
    t.MoveStycnik({40, 0}, {60, 0});
    t.MoveStycnik({60, 0}, {40, 0});
    EXPECT_TRUE(t.IsModified()) << "the load is still new";

    TPrutovaSoustava loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_FALSE(loaded.IsModified());
    loaded.MoveStycnik({40, 0}, {60, 0});
    EXPECT_TRUE(loaded.IsModified());
    loaded.MoveStycnik({60, 0}, {40, 0});
    EXPECT_FALSE(loaded.IsModified()) << "moved back where it was";
    loaded.Undo();
    EXPECT_TRUE(loaded.IsModified()) << "undo before the loaded state leaves an empty truss";
}

TEST(ChangeTracking, ItemsTextHasNoInfoSection) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 40, 0);
    QStringList items, full;
    t.SaveItemsToStrings(items);
    t.SaveToStrings(full);
    EXPECT_FALSE(items.join(u'\n').contains(QStringLiteral("[Info]")));
    EXPECT_EQ(full.mid(0, items.size()), items);
    EXPECT_TRUE(full.join(u'\n').contains(QStringLiteral("[Info]")));
}

} // namespace

namespace {

// The editing operations stop where a file's sections end, so every saved truss can be opened.
TEST(SectionLimit, AFullSectionTakesNoMoreAndTheSavedFileReadsBack) {
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    // Items at many places keep the joints' vector lists short.
    for (int i = 0; i < MaxFileItemCount; ++i) {
        const int x = 20 * (i % 90);
        t.AddPrut(x, 0, x, 20);
        t.AddSila(x, 20, 1, 90);
        t.AddPodpera(x, 0, P_X | P_Y, 0);
    }
    const int beeps = BeepCount;
    t.AddPrut(0, 0, 40, 0);
    t.AddSila(40, 0, 1, 90);
    t.AddPodpera(40, 0, P_Y, 0);
    EXPECT_EQ(BeepCount, beeps + 3);
    EXPECT_EQ(t.PrutCount(), MaxFileItemCount);
    EXPECT_EQ(t.SilaCount(), MaxFileItemCount);
    EXPECT_EQ(t.PodperaCount(), MaxFileItemCount);
    QStringList lines;
    t.SaveToStrings(lines);
    TPrutovaSoustava loaded;
    loaded.RecordSnapshots = false;
    EXPECT_NO_THROW(loaded.LoadFromStrings(lines));
    EXPECT_EQ(loaded.PrutCount(), MaxFileItemCount);
}

} // namespace
