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
