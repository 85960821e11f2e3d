// The frame window warns once when the settings store cannot be written.
#include "../services/ReadOnlyPath.h"
#include "GuiFixture.h"
#include "SettingsStore.h"

#include <QFileInfo>

namespace {

using SettingsWarning = TMainFormTest;

TEST_F(SettingsWarning, AnUnwritableStoreIsReportedOnce) {
    const QString ini = TSettingsStore().FileName();
    ASSERT_TRUE(QFileInfo::exists(ini)) << "the start was counted";
    const TReadOnlyPath file(ini);
    const TReadOnlyPath folder(QFileInfo(ini).path());
    if (file.Writable() || folder.Writable())
        GTEST_SKIP() << "this user can write anywhere and cannot set the immutable flag";
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    FileAnswers = {Dir.filePath(QStringLiteral("first.trs"))};
    Answers = {mrOk};
    // Each save counts itself in the store.
    Main->Save1->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, QStringLiteral("Nastavení nelze uložit do souboru \"") + ini +
                                    QStringLiteral("\". Změny nastavení se po ukončení programu "
                                                   "ztratí."));
    EXPECT_EQ(Messages[0].Kind, mtWarning);
    EXPECT_FALSE(form->Soustava().IsModified()) << "the document itself is saved";
    Drag(form, {100, 40}, {100, 100});
    Main->Save1->trigger();
    EXPECT_EQ(Messages.size(), 1u) << "later writes add no box";
}

} // namespace
