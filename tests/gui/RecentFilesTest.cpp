// The recent-files list through the real frame window: order, flags, menu items and reopening.
#include "GuiFixture.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace {

class RecentFiles : public TMainFormTest {
protected:
    void SetUp() override {
        QFile::remove(TSettingsStore().FileName());
        TMainFormTest::SetUp();
    }
    // A copy of the triangle under name in the test folder.
    QString File(const QString& name) {
        const QString path = Dir.filePath(name);
        if (!QFileInfo::exists(path))
            QFile::copy(Data("triangle.trs"), path);
        return path;
    }
    QStringList Names() const {
        QStringList names;
        for (int n = 1; n <= TLastFilesUsed::Capacity; ++n)
            names << QFileInfo(Main->LastFiles->Entry(n).FileName).fileName();
        return names;
    }
    void CloseAll() {
        Main->MdiArea->closeAllSubWindows();
        QTest::qWait(0);
    }
    // Ends the run the way Exit does, with windows left open, and starts a new frame window.
    void Restart() {
        ASSERT_TRUE(Main->close());
        Main.reset();
        Main = std::make_unique<TMainForm>();
        Main->show();
    }
};

TEST_F(RecentFiles, NinthFileDropsTheLeastRecent) {
    for (int i = 1; i <= 9; ++i)
        ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("f%1.trs").arg(i))));
    EXPECT_EQ(Names(), QStringList({"f9.trs", "f8.trs", "f7.trs", "f6.trs", "f5.trs", "f4.trs",
                                    "f3.trs", "f2.trs"}));
    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE(Main->LastFiles->Entry(n).Open);
}

TEST_F(RecentFiles, EntryFiveMovesToTheTopAndTheRestKeepTheirPlaces) {
    for (int i = 1; i <= 8; ++i)
        ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("f%1.trs").arg(i))));
    CloseAll();
    ASSERT_EQ(Names()[4], QStringLiteral("f4.trs"));
    ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("f4.trs"))));
    EXPECT_EQ(Names(), QStringList({"f4.trs", "f8.trs", "f7.trs", "f6.trs", "f5.trs", "f3.trs",
                                    "f2.trs", "f1.trs"}));
    EXPECT_TRUE(Main->LastFiles->Entry(1).Open);
    EXPECT_FALSE(Main->LastFiles->Entry(2).Open);
}

TEST_F(RecentFiles, TopEntryReopenedOnlyGetsItsFlagAndTheMenuFollowsOnOpening) {
    const QString a = File(QStringLiteral("a.trs"));
    ASSERT_TRUE(Main->OpenTrussFile(a));
    CloseAll();
    Main->File1Click();
    EXPECT_EQ(Main->mFile[0]->text(), QStringLiteral("1 a"));
    ASSERT_TRUE(Main->OpenTrussFile(a));
    EXPECT_TRUE(Main->LastFiles->Entry(1).Open);
    EXPECT_EQ(Main->mFile[0]->text(), QStringLiteral("1 a")) << "not refreshed yet";
    Main->File1Click();
    EXPECT_EQ(Main->mFile[0]->text(), QStringLiteral("1 a [Otevřeno]"));
}

TEST_F(RecentFiles, SameFileInAnotherLetterCaseIsASecondEntry) {
    ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("Case.trs"))));
    ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("case.trs"))));
    EXPECT_EQ(Names().mid(0, 2), QStringList({"case.trs", "Case.trs"}));
}

TEST_F(RecentFiles, MenuItemsShowHideEnableAndNumberThemselves) {
    const QString a = File(QStringLiteral("bridge.old.trs"));
    const QString b = File(QStringLiteral("model"));
    const QString c = File(QStringLiteral("vanishing.trs"));
    for (const QString& f : {a, b, c})
        ASSERT_TRUE(Main->OpenTrussFile(f));
    CloseAll();
    QFile::remove(c);
    Main->File1Click();
    EXPECT_EQ(Main->mFile[0]->text(), QStringLiteral("1 vanishing"));
    EXPECT_EQ(Main->mFile[1]->text(), QStringLiteral("2 model"));
    EXPECT_EQ(Main->mFile[2]->text(), QStringLiteral("3 bridge.old"));
    EXPECT_FALSE(Main->mFile[0]->isEnabled()) << "a file that vanished is shown disabled";
    EXPECT_TRUE(Main->mFile[1]->isEnabled());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Main->mFile[i]->isVisible());
    for (int i = 3; i < 8; ++i)
        EXPECT_FALSE(Main->mFile[i]->isVisible());
    const QList<QAction*> items = Main->File1->actions();
    EXPECT_EQ(items.indexOf(Main->mFile[7]) - items.indexOf(Main->mFile[0]), 7);
}

TEST_F(RecentFiles, ClickOpensThroughOpenTrussFile) {
    const QString a = File(QStringLiteral("a.trs"));
    const QString b = File(QStringLiteral("b.trs"));
    ASSERT_TRUE(Main->OpenTrussFile(a));
    ASSERT_TRUE(Main->OpenTrussFile(b));
    CloseAll();
    Main->File1Click();
    Main->mFile[1]->trigger();
    ASSERT_NE(Main->ActiveTrussForm(), nullptr);
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().FileName, a);
    EXPECT_EQ(Names().mid(0, 2), QStringList({"a.trs", "b.trs"}));
    QFile::remove(b);
    Answers = {mrOk};
    Main->mFile[1]->trigger();
    ASSERT_EQ(Messages.size(), 1u) << "a file gone since the menu was shown is reported";
    EXPECT_TRUE(Messages[0].Text.contains(b));
}

TEST_F(RecentFiles, SaveAsMovesTheFlagToTheNewName) {
    const QString a = File(QStringLiteral("a.trs"));
    ASSERT_TRUE(Main->OpenTrussFile(a));
    const QString b = Dir.filePath(QStringLiteral("b.trs"));
    FileAnswers = {b};
    Main->ActiveTrussForm()->aFileSaveAsExecute();
    EXPECT_EQ(Main->LastFiles->Entry(1).FileName, b);
    EXPECT_TRUE(Main->LastFiles->Entry(1).Open);
    EXPECT_EQ(Main->LastFiles->Entry(2).FileName, a);
    EXPECT_FALSE(Main->LastFiles->Entry(2).Open);
}

TEST_F(RecentFiles, ExitWithOpenWindowsReopensThemLeastRecentFirstInTheSameOrder) {
    const QString a = File(QStringLiteral("a.trs"));
    const QString b = File(QStringLiteral("b.trs"));
    const QString c = File(QStringLiteral("c.trs"));
    const QString d = File(QStringLiteral("d.trs"));
    for (const QString& f : {a, b, c, d})
        ASSERT_TRUE(Main->OpenTrussFile(f));
    // b is closed before the end of the run; a, c and d stay open.
    for (QMdiSubWindow* w : Main->MdiArea->subWindowList())
        if (qobject_cast<TTrussForm*>(w->widget())->Soustava().FileName == b)
            w->close();
    QTest::qWait(0);
    Restart();
    const QStringList before = Names();
    std::vector<QString> opened;
    Main->LastFiles->OnOpenFile = [&](const QString& name) {
        opened.push_back(QFileInfo(name).fileName());
        Main->OpenTrussFile(name);
    };
    Main->LastFiles->ReopenFiles(true);
    EXPECT_EQ(opened, (std::vector<QString>{"a.trs", "c.trs", "d.trs"}));
    EXPECT_EQ(Names(), before) << "reopening changes neither the order nor the flags";
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().FileName, d) << "the most recent ends on top";
    EXPECT_FALSE(Main->LastFiles->Entry(3).Open);
}

TEST_F(RecentFiles, CancelledCloseAtExitKeepsTheWindowAndItsFlag) {
    const QString a = File(QStringLiteral("a.trs"));
    ASSERT_TRUE(Main->OpenTrussFile(a));
    TTrussForm* form = Main->ActiveTrussForm();
    Drag(form, {40, 40}, {100, 40});
    Answers = {mrCancel};
    Main->MdiArea->activeSubWindow()->close();
    QTest::qWait(0);
    EXPECT_TRUE(Main->LastFiles->Entry(1).Open);
    Answers = {mrNo};
    Restart();
    TSettingsStore store;
    EXPECT_EQ(store.ReadString(QStringLiteral("LastLoad"), QStringLiteral("File1"), {}), a);
    EXPECT_TRUE(store.ReadBool(QStringLiteral("LastLoad"), QStringLiteral("Open1"), false));
}

TEST_F(RecentFiles, StoredFormHasAllTwentyFourValues) {
    ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("a.trs"))));
    CloseAll();
    Main.reset();
    QFile ini(TSettingsStore().FileName());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    for (int n = 1; n <= 8; ++n)
        for (const char* key : {"File", "Name", "Open"})
            EXPECT_TRUE(text.contains(QStringLiteral("%1%2=").arg(QLatin1String(key)).arg(n)))
                << key << n;
    EXPECT_TRUE(text.contains(QStringLiteral("Open1=0")));
}

} // namespace
