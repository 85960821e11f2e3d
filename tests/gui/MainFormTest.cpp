// The frame window: opening files, menus, the matrix window, options and the first start.
#include "GuiFixture.h"
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "UsageStatistics.h"

#include <QMenuBar>
#include <QUrlQuery>

namespace {

using MainForm = TMainFormTest;

TEST_F(MainForm, OpeningAMissingFileShowsTheError) {
    const QString name = Dir.filePath(QStringLiteral("nothing.trs"));
    Answers = {mrOk};
    EXPECT_FALSE(Main->OpenTrussFile(name));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Caption, QStringLiteral("Chyba!"));
    EXPECT_EQ(Messages[0].Text, QStringLiteral("Soubor \"%1\" nelze nalézt.").arg(name));
    EXPECT_EQ(Messages[0].Kind, mtError);
    EXPECT_TRUE(Main->TrussForms().isEmpty());
}

TEST_F(MainForm, AFileThatCannotBeLoadedLeavesNoWindow) {
    const QString kv = Dir.filePath(QStringLiteral("kv.trs"));
    QFile f(kv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Podpery]\nCount=1\nX0=40\nY0=40\nP_X0=1\nP_Y0=1\nKv0=300\n");
    f.close();
    for (const QString& name : {Data("huge-count.trs"), kv, Dir.path()}) {
        Answers = {mrOk};
        Messages.clear();
        EXPECT_FALSE(Main->OpenTrussFile(name)) << name.toStdString();
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Kind, mtError);
        EXPECT_TRUE(Messages[0].Text.contains(name)) << Messages[0].Text.toStdString();
        EXPECT_TRUE(Main->TrussForms().isEmpty());
    }
}

TEST_F(MainForm, OpeningAnOpenFileActivatesAndRestoresItsWindow) {
    const QString name = Data("triangle.trs");
    ASSERT_TRUE(Main->OpenTrussFile(name));
    QMdiSubWindow* window = Main->MdiArea->activeSubWindow();
    window->showMinimized();
    NewWindow();
    ASSERT_NE(Main->MdiArea->activeSubWindow(), window);
    ASSERT_TRUE(Main->OpenTrussFile(name));
    EXPECT_EQ(Main->TrussForms().size(), 2);
    EXPECT_EQ(Main->MdiArea->activeSubWindow(), window);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(window->isMaximized());
}

TEST_F(MainForm, FileNamesAreComparedExactly) {
    const QString upper = Dir.filePath(QStringLiteral("T.trs"));
    QFile::copy(Data("triangle.trs"), upper);
    ASSERT_TRUE(Main->OpenTrussFile(upper));
    ASSERT_TRUE(Main->OpenTrussFile(Dir.path() + QStringLiteral("/./T.trs")));
    EXPECT_EQ(Main->TrussForms().size(), 2);
}

TEST_F(MainForm, OpenDialogOpensTheChosenFile) {
    FileAnswers = {Data("triangle.trs")};
    Main->Open1->trigger();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_FALSE(Dialogs[0].Save);
    EXPECT_EQ(Dialogs[0].Filter, QStringLiteral("Data files (*.trs);;All files (*)"));
    ASSERT_NE(Main->ActiveTrussForm(), nullptr);
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().PrutCount(), 3);
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().SnapshotCount(), 1);
}

TEST_F(MainForm, SaveCommandsAndWindowMenuFollowTheActiveWindow) {
    Main->File1Click();
    EXPECT_FALSE(Main->Save1->isEnabled());
    EXPECT_FALSE(Main->Saveas1->isEnabled());
    EXPECT_FALSE(Main->WindowCascade1->isEnabled());
    NewWindow();
    Main->File1Click();
    EXPECT_TRUE(Main->Save1->isEnabled());
    EXPECT_TRUE(Main->Saveas1->isEnabled());
    EXPECT_TRUE(Main->WindowTileHorizontal1->isEnabled());
    Main->MdiArea->closeAllSubWindows();
    QTest::qWait(0);
    Main->File1Click();
    EXPECT_FALSE(Main->Save1->isEnabled());
    EXPECT_FALSE(Main->WindowMinimizeAll1->isEnabled());
}

TEST_F(MainForm, WindowMenuArrangesTheChildWindows) {
    NewWindow();
    NewWindow();
    NewWindow();
    const QList<QMdiSubWindow*> windows = Main->MdiArea->subWindowList(QMdiArea::CreationOrder);
    const QRect space = Main->MdiArea->viewport()->rect();
    Main->WindowTileVertical1->trigger();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(windows[i]->height(), space.height());
        EXPECT_NEAR(windows[i]->x(), space.width() * i / 3, 1);
    }
    Main->WindowTileHorizontal1->trigger();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(windows[i]->width(), space.width());
        EXPECT_NEAR(windows[i]->y(), space.height() * i / 3, 1);
    }
    Main->WindowMinimizeAll1->trigger();
    for (QMdiSubWindow* w : windows)
        EXPECT_TRUE(w->isMinimized());
    for (QMdiSubWindow* w : windows)
        w->showNormal();
    Main->WindowCascade1->trigger();
    EXPECT_LT(windows[0]->x(), windows[1]->x());
    EXPECT_LT(windows[1]->y(), windows[2]->y());
}

TEST_F(MainForm, ActiveWindowsEditMenuStandsInForTheFrames) {
    auto menuBarHas = [&](QMenu* menu) {
        return Main->menuBar()->actions().contains(menu->menuAction()) &&
               menu->menuAction()->isVisible();
    };
    EXPECT_TRUE(menuBarHas(Main->Edit1));
    EXPECT_FALSE(Main->Edit1->isEnabled());
    TTrussForm* first = NewWindow();
    EXPECT_FALSE(menuBarHas(Main->Edit1));
    EXPECT_TRUE(menuBarHas(first->Edit1));
    EXPECT_TRUE(first->aUndo->isEnabled());
    TTrussForm* second = NewWindow();
    EXPECT_TRUE(menuBarHas(second->Edit1));
    EXPECT_FALSE(Main->menuBar()->actions().contains(first->Edit1->menuAction()));
    EXPECT_FALSE(first->aUndo->isEnabled());
    const QList<QAction*> items = second->Edit1->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[0], second->aUndo);
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    Main->MdiArea->closeAllSubWindows();
    QTest::qWait(0);
    EXPECT_TRUE(menuBarHas(Main->Edit1));
}

TEST_F(MainForm, MatrixWindowFollowsItsOption) {
    TFormMatrix* matrix = Main->FormMatrix;
    ASSERT_NE(matrix, nullptr);
    EXPECT_FALSE(matrix->isVisible());
    Main->aZobrazMatici->trigger();
    EXPECT_FALSE(matrix->isVisible()) << "without truss windows nothing shows the window";
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    EXPECT_TRUE(matrix->isVisible());
    QStringList expected;
    Main->ActiveTrussForm()->Soustava().DescribeEquations(expected);
    EXPECT_EQ(matrix->Memo1->toPlainText(), expected.join(u'\n'));
    EXPECT_TRUE(matrix->Memo1->toPlainText().startsWith(QStringLiteral("Dimenze: 6")));

    TTrussForm* empty = NewWindow();
    EXPECT_TRUE(matrix->Memo1->toPlainText().startsWith(QStringLiteral("Dimenze: 0")));
    EXPECT_TRUE(matrix->Memo1->toPlainText().contains(
        QStringLiteral("Matice musí mít rozměr větší než 1.")));
    Main->TrussFormsUpdate();
    EXPECT_TRUE(matrix->Memo1->toPlainText().startsWith(QStringLiteral("Dimenze: 6")))
        << "front to back: the window behind is refreshed last";

    Main->aZobrazMatici->trigger();
    EXPECT_FALSE(matrix->isVisible());
    Main->aZobrazMatici->trigger();
    Main->MdiArea->closeAllSubWindows();
    QTest::qWait(0);
    EXPECT_TRUE(matrix->isVisible()) << "closing every window leaves the matrix window as it was";
    (void)empty;
    EXPECT_FALSE(matrix->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(MainForm, CheckBoxesAndMenuItemsShareTheDisplayOptions) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    EXPECT_TRUE(Main->chbOznaceniPrutu->isChecked());
    EXPECT_EQ(DisplayFlags & dfPrutName, dfPrutName);
    QTest::mouseClick(Main->chbOznaceniPrutu, Qt::LeftButton);
    EXPECT_FALSE(Main->aShowPrutName->isChecked());
    EXPECT_EQ(DisplayFlags & dfPrutName, 0) << "the click refreshed the windows";
    Main->aShowStycNo->trigger();
    EXPECT_TRUE(Main->CheckBox1->isChecked());
    EXPECT_EQ(DisplayFlags & dfStycNo, dfStycNo);
    QTest::mouseClick(Main->ChbZobrazSily, Qt::LeftButton);
    EXPECT_TRUE(Main->aShowPrutForce->isChecked());
    EXPECT_EQ(DisplayFlags & dfPrutForce, dfPrutForce);
}

TEST_F(MainForm, PaletteAndStatusBarLayout) {
    const QList<QAbstractButton*> order = {
        Main->btDtMove,    Main->btDTPrut,    Main->btDtPevnaPod, Main->btDtVolPodY,
        Main->btDtVolPodX, Main->btDtForceUp, Main->btDtForceLeft};
    for (int i = 1; i < order.size(); ++i)
        EXPECT_LT(order[i - 1]->x(), order[i]->x()) << order[i]->objectName().toStdString();
    EXPECT_LT(Main->btDtForceLeft->x(), Main->RxSpinEditSila->x());
    EXPECT_LT(Main->CheckBox1->x(), Main->RxSpinEditGrid->x());
    EXPECT_EQ(Main->Panel1->height(), 41);
    const int widths[] = {120, 150, 150, 150, 50};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Main->StatusPanels[i]->width(), widths[i]);
        if (i > 0) {
            EXPECT_LT(Main->StatusPanels[i - 1]->x(), Main->StatusPanels[i]->x());
        }
    }
    EXPECT_LT(Main->StatusPanels[0]->x(), 20) << "panels line up from the left";
    EXPECT_FALSE(Main->btDtForceUp->icon().isNull());
    EXPECT_EQ(Main->RxSpinEditGrid->minimum(), 2);
    EXPECT_EQ(Main->RxSpinEditGrid->maximum(), 100);
    EXPECT_EQ(Main->RxSpinEditSila->minimum(), -1000);
    EXPECT_EQ(Main->RxSpinEditSila->maximum(), 1000);
}

TEST_F(MainForm, ExitAsksForEveryChangedWindowAndCancelKeepsRunning) {
    TTrussForm* changed = NewWindow();
    Drag(changed, {40, 40}, {100, 40});
    NewWindow();
    Answers = {mrCancel};
    EXPECT_FALSE(Main->close());
    EXPECT_TRUE(Main->isVisible());
    EXPECT_EQ(Main->TrussForms().size(), 2);
    Answers = {mrNo};
    EXPECT_TRUE(Main->close());
    EXPECT_EQ(Messages.size(), 2u);
}

// Not every end of the frame goes through close(). Destroyed while shown, the focused field loses
// its focus only when the QWidget base hides the frame, after TMainForm's destructor, and then
// signals that its editing finished: nothing of the frame may hear it any more.
TEST_F(MainForm, DestroyedWithoutClosingWhileAFieldHasFocusRunsNoSlotOfTheFrame) {
    NewWindow();
    QSpinBox* grid = Main->RxSpinEditGrid;
    QObject* frame = Main.get();
    Main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    int lateSignals = 0;
    bool frameStillListened = false;
    QObject::connect(grid, &QSpinBox::editingFinished, grid, [&] {
        // Still a TMainForm: its own destructor has not finished, its slots are safe.
        if (qobject_cast<TMainForm*>(frame))
            return;
        ++lateSignals;
        frameStillListened |= QObject::disconnect(grid, &QSpinBox::editingFinished, frame, nullptr);
    });
    Main.reset();
    EXPECT_GT(lateSignals, 0) << "the field no longer signals while the frame goes";
    EXPECT_FALSE(frameStillListened) << "a slot of the frame ran after its destructor";
}

TEST_F(MainForm, OptionsAreStoredOnCloseAndRestoredWhenFirstShown) {
    Main->RxSpinEditGrid->setValue(35);
    Main->RxSpinEditSila->setValue(-12);
    Main->aShowPrutName->trigger();
    Main->aShowSidePannel->trigger();
    Main->aGridAsLine->trigger();
    Main->move(30, 40);
    Main->resize(1000, 650);
    ASSERT_TRUE(Main->close());
    const QMap<QString, QString> stored =
        ReadIniSection(OptionsIniFile(), QStringLiteral("TMainForm"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("RxSpinEditGrid_Value")), QStringLiteral("35"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("RxSpinEditSila_Value")), QStringLiteral("-12"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aShowPrutName_Checked")), QStringLiteral("False"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aShowSidePannel_Checked")), QStringLiteral("True"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aGridAsLine_Checked")), QStringLiteral("False"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aShowGrid_Checked")), QStringLiteral("True"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("ShowCmd")), QStringLiteral("1"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("NormPos")).split(u',').size(), 4);
    Main.reset();

    Main = std::make_unique<TMainForm>();
    EXPECT_EQ(Main->RxSpinEditGrid->value(), 20) << "restored only when first shown";
    Main->show();
    EXPECT_EQ(Main->RxSpinEditGrid->value(), 35);
    EXPECT_EQ(Main->RxSpinEditSila->value(), -12);
    EXPECT_FALSE(Main->aShowPrutName->isChecked());
    EXPECT_FALSE(Main->chbOznaceniPrutu->isChecked());
    EXPECT_TRUE(Main->aShowSidePannel->isChecked());
    EXPECT_EQ(Main->size(), QSize(1000, 650));
}

TEST_F(MainForm, DefaultsWithoutAnOptionsFile) {
    EXPECT_EQ(Main->RxSpinEditGrid->value(), 20);
    EXPECT_EQ(Main->RxSpinEditSila->value(), 20);
    EXPECT_TRUE(Main->aShowPrutName->isChecked());
    EXPECT_FALSE(Main->aShowPrutForce->isChecked());
    EXPECT_FALSE(Main->aShowStycNo->isChecked());
    EXPECT_FALSE(Main->aZobrazMatici->isChecked());
    EXPECT_FALSE(Main->aShowSidePannel->isChecked());
    EXPECT_TRUE(Main->aShowGrid->isChecked());
    EXPECT_TRUE(Main->aGridAsLine->isChecked());
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Trabex v.") + FileVersion());
    EXPECT_FALSE(Main->windowIcon().isNull());
    EXPECT_EQ(Main->FormMatrix->windowIcon().cacheKey(), Main->windowIcon().cacheKey());
    NewWindow();
    EXPECT_EQ(Main->MdiArea->activeSubWindow()->windowIcon().cacheKey(),
              Main->windowIcon().cacheKey());
}

// The first start of a version counts, records the version and opens the usage address once.
class FirstStart : public TMainFormTest {
protected:
    void SetUp() override {
        savedHost = UsageServerHost;
        savedOpener = UsageUrlOpener;
        UsageUrlOpener = [this](const QUrl& url) { Opened.push_back(url); };
        TMainFormTest::SetUp();
        Main.reset();
        Opened.clear();
        QFile::remove(TSettingsStore().FileName());
    }
    void TearDown() override {
        TMainFormTest::TearDown();
        UsageServerHost = savedHost;
        UsageUrlOpener = savedOpener;
    }
    std::vector<QUrl> Opened;

private:
    QString savedHost;
    std::function<void(const QUrl&)> savedOpener;
};

TEST_F(FirstStart, VeryFirstStartOpensTheAddressOnceAndCountsEveryStart) {
    UsageServerHost = QStringLiteral("stats.example.org");
    Main = std::make_unique<TMainForm>();
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0].toString(),
              QStringLiteral("http://stats.example.org/?run=1&ns=0&ver=") + FileVersion());
    TSettingsStore store;
    EXPECT_EQ(store.ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfExecute"), 0), 1);
    EXPECT_FALSE(store.ReadString(QStringLiteral("VersionUsed"), FileVersion(), {}).isEmpty());
    Main = std::make_unique<TMainForm>();
    EXPECT_EQ(Opened.size(), 1u) << "the second start of a version asks nothing";
    EXPECT_EQ(store.ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfExecute"), 0), 2);
}

TEST_F(FirstStart, NewerVersionReportsTheAccumulatedCounters) {
    UsageServerHost = QStringLiteral("stats.example.org");
    {
        TSettingsStore store;
        store.WriteInteger(QStringLiteral("Info"), QStringLiteral("NoOfExecute"), 41);
        store.WriteInteger(QStringLiteral("Info"), QStringLiteral("NoOfSv"), 7);
        store.WriteString(QStringLiteral("VersionUsed"), QStringLiteral("2.0.0.1"),
                          QStringLiteral("old"));
    }
    Main = std::make_unique<TMainForm>();
    ASSERT_EQ(Opened.size(), 1u);
    const QUrlQuery q(Opened[0]);
    EXPECT_EQ(q.queryItemValue(QStringLiteral("run")), QStringLiteral("42"));
    EXPECT_EQ(q.queryItemValue(QStringLiteral("ns")), QStringLiteral("7"));
    EXPECT_EQ(q.queryItemValue(QStringLiteral("ver")), FileVersion());
}

TEST_F(FirstStart, BuildWithoutStatisticsHostOnlyCounts) {
    UsageServerHost.clear();
    Main = std::make_unique<TMainForm>();
    EXPECT_TRUE(Opened.empty());
    TSettingsStore store;
    EXPECT_EQ(store.ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfExecute"), 0), 1);
    EXPECT_FALSE(store.ReadString(QStringLiteral("VersionUsed"), FileVersion(), {}).isEmpty());
}

} // namespace
