// The palette's tools applied by mouse press, move and release on a real truss window.
#include "GuiFixture.h"
#include "ToolActions.h"

#include <QStatusBar>

namespace {

struct TSnapCase {
    int Step;
    int In;
    int Out;
};

class SnapToGridTest : public ::testing::TestWithParam<TSnapCase> {};

TEST_P(SnapToGridTest, RoundsHalfToEven) {
    const TSnapCase c = GetParam();
    EXPECT_EQ(SnapToGrid({c.In, c.In}, c.Step), QPoint(c.Out, c.Out)) << c.In << " step " << c.Step;
}

INSTANTIATE_TEST_SUITE_P(
    Step20AndOthers, SnapToGridTest,
    ::testing::Values(TSnapCase{20, 29, 20}, TSnapCase{20, 31, 40}, TSnapCase{20, 10, 0},
                      TSnapCase{20, 30, 40}, TSnapCase{20, 50, 40}, TSnapCase{20, 70, 80},
                      TSnapCase{20, -30, -40}, TSnapCase{20, -10, 0}, TSnapCase{20, -50, -40},
                      TSnapCase{7, 10, 7}, TSnapCase{7, 11, 14}, TSnapCase{2, 3, 4},
                      TSnapCase{2, 5, 4}, TSnapCase{100, 150, 200}, TSnapCase{100, 250, 200}));

using Truss = TMainFormTest;

TEST_F(Truss, BarToolAddsTheSnappedBarAtRelease) {
    TTrussForm* form = NewWindow();
    Drag(form, {41, 39}, {99, 61});
    ASSERT_EQ(form->Soustava().PrutCount(), 1);
    const TPrut& bar = form->Soustava().Prut(0);
    EXPECT_EQ(QPoint(bar.Sa_X, bar.Sa_Y), QPoint(40, 40));
    EXPECT_EQ(QPoint(bar.Sb_X, bar.Sb_Y), QPoint(100, 60));
    EXPECT_EQ(form->Soustava().SnapshotCount(), 1);
    EXPECT_FALSE(form->Dragging);
}

TEST_F(Truss, BarToolReleasedOnThePressPointAddsNothing) {
    TTrussForm* form = NewWindow();
    Drag(form, {41, 39}, {49, 31});
    EXPECT_EQ(form->Soustava().PrutCount(), 0);
    EXPECT_EQ(form->Soustava().SnapshotCount(), 0);
}

TEST_F(Truss, SupportsArePlacedAtTheReleasePoint) {
    TTrussForm* form = NewWindow();
    const struct {
        QAbstractButton* Button;
        TFixedSet Fixed;
    } cases[] = {
        {Main->btDtPevnaPod, P_X | P_Y}, {Main->btDtVolPodX, P_X}, {Main->btDtVolPodY, P_Y}};
    int x = 40;
    for (const auto& c : cases) {
        Pick(c.Button);
        Drag(form, {201, 201}, {x + 1, 119});
        x += 60;
    }
    ASSERT_EQ(form->Soustava().PodperaCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const TPodpera& s = form->Soustava().Podpera(i);
        EXPECT_EQ(QPoint(s.X, s.Y), QPoint(40 + 60 * i, 120));
        EXPECT_EQ(s.Fixed, cases[i].Fixed);
        EXPECT_EQ(s.Kv, 0);
    }
    EXPECT_EQ(form->Soustava().SnapshotCount(), 3);
}

TEST_F(Truss, ForcesTakeThePaletteValueAndTheirAngle) {
    TTrussForm* form = NewWindow();
    Main->RxSpinEditSila->setValue(-35);
    Pick(Main->btDtForceLeft);
    Drag(form, {21, 21}, {81, 79});
    Main->RxSpinEditSila->setValue(0);
    Pick(Main->btDtForceUp);
    Drag(form, {21, 21}, {141, 79});
    ASSERT_EQ(form->Soustava().SilaCount(), 2);
    const TSila& a = form->Soustava().Sila(0);
    EXPECT_EQ(QPoint(a.X, a.Y), QPoint(80, 80));
    EXPECT_EQ(a.Sila, -35);
    EXPECT_EQ(a.Uhel, 0);
    const TSila& b = form->Soustava().Sila(1);
    EXPECT_EQ(QPoint(b.X, b.Y), QPoint(140, 80));
    EXPECT_EQ(b.Sila, 0);
    EXPECT_EQ(b.Uhel, 90);
}

TEST_F(Truss, ToolButtonsAreExclusiveAndSetTheTool) {
    EXPECT_EQ(Main->DrawingTool, dtPrut);
    EXPECT_TRUE(Main->btDTPrut->isChecked());
    Pick(Main->btDtMove);
    EXPECT_EQ(Main->DrawingTool, dtMove);
    EXPECT_FALSE(Main->btDTPrut->isChecked());
    Main->aVolnaPodX->trigger();
    EXPECT_EQ(Main->DrawingTool, dtVolPodX);
    EXPECT_TRUE(Main->btDtVolPodX->isChecked());
    Main->SetDrawingTool(Main->aShowGrid);
    EXPECT_EQ(Main->DrawingTool, dtVolPodX);
}

TEST_F(Truss, MoveDragMergesJointsAndIsOneUndoStep) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    Drag(form, {100, 100}, {160, 100});
    ASSERT_EQ(form->Soustava().StycnikCount(), 4);
    Pick(Main->btDtMove);
    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {101, 41});
    for (int y = 50; y <= 100; y += 10)
        QTest::mouseMove(form->Image, {101, y});
    EXPECT_EQ(form->Soustava().StycnikCount(), 3) << "the dragged joint merges with (100,100)";
    QTest::mouseMove(form->Image, {121, 101});
    QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, {121, 101});
    const TPrutovaSoustava& t = form->Soustava();
    EXPECT_EQ(QPoint(t.Prut(0).Sb_X, t.Prut(0).Sb_Y), QPoint(120, 100));
    EXPECT_EQ(QPoint(t.Prut(1).Sa_X, t.Prut(1).Sa_Y), QPoint(120, 100))
        << "merged joints travel together";
    EXPECT_EQ(t.SnapshotCount(), 3);
    form->aUndo->trigger();
    EXPECT_EQ(QPoint(t.Prut(0).Sb_X, t.Prut(0).Sb_Y), QPoint(100, 40));
    EXPECT_EQ(QPoint(t.Prut(1).Sa_X, t.Prut(1).Sa_Y), QPoint(100, 100));
    EXPECT_EQ(t.StycnikCount(), 4);
}

TEST_F(Truss, MoveDragFromAnEmptyPointPicksUpJointsOnTheWay) {
    TTrussForm* form = NewWindow();
    Drag(form, {100, 100}, {160, 100});
    Pick(Main->btDtMove);
    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {61, 101});
    QTest::mouseMove(form->Image, {81, 101});
    QTest::mouseMove(form->Image, {101, 101});
    QTest::mouseMove(form->Image, {101, 141});
    QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, {101, 141});
    const TPrut& bar = form->Soustava().Prut(0);
    EXPECT_EQ(QPoint(bar.Sa_X, bar.Sa_Y), QPoint(100, 140));
    EXPECT_EQ(QPoint(bar.Sb_X, bar.Sb_Y), QPoint(160, 100));
}

TEST_F(Truss, RightReleaseEndsTheDragAndTheLaterLeftReleaseDoesNothing) {
    TTrussForm* form = NewWindow();
    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {40, 40});
    QTest::mouseMove(form->Image, {80, 80});
    QTest::mouseRelease(form->Image, Qt::RightButton, Qt::NoModifier, {120, 60});
    ASSERT_EQ(form->Soustava().PrutCount(), 1);
    EXPECT_EQ(form->Soustava().Prut(0).Sb_X, 120);
    EXPECT_FALSE(form->Dragging);
    QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, {200, 200});
    EXPECT_EQ(form->Soustava().PrutCount(), 1);
}

TEST_F(Truss, BarReleasedOutsideTheDrawingKeepsItsSnappedPosition) {
    TTrussForm* form = NewWindow();
    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {40, 40});
    form->FormMouseMove(-31, -50);
    form->FormMouseUp(Qt::LeftButton, -31, -50);
    ASSERT_EQ(form->Soustava().PrutCount(), 1);
    EXPECT_EQ(QPoint(form->Soustava().Prut(0).Sb_X, form->Soustava().Prut(0).Sb_Y),
              QPoint(-40, -40));
}

TEST_F(Truss, RubberBandIsDrawnAndErasedInNotXorMode) {
    TTrussForm* form = NewWindow();
    const QImage before = form->Image->Picture().copy();
    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {40, 200});
    QTest::mouseMove(form->Image, {200, 200});
    EXPECT_NE(form->Image->Picture().pixel(120, 200), before.pixel(120, 200));
    QTest::mouseMove(form->Image, {40, 80});
    EXPECT_EQ(form->Image->Picture().pixel(120, 200), before.pixel(120, 200))
        << "the previous outline is restored";
    EXPECT_NE(form->Image->Picture().pixel(40, 140), before.pixel(40, 140));
    QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, {40, 80});
}

TEST_F(Truss, StatusPanelsFollowTheMouse) {
    TTrussForm* form = NewWindow();
    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {41, 39});
    QTest::mouseMove(form->Image, {77, 93});
    EXPECT_EQ(Main->StatusPanels[0]->text(), QStringLiteral("[40,40] -> [80,100]"));
    EXPECT_EQ(Main->StatusPanels[1]->text(), QStringLiteral("Souřadnice: [77, 93]"));
    QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, {77, 93});
    EXPECT_EQ(Main->StatusPanels[0]->text(), QString());
    EXPECT_TRUE(Main->StatusPanels[3]->text().startsWith(QStringLiteral("Čas na výpočet: ")));
    EXPECT_TRUE(Main->StatusPanels[2]->text().startsWith(QStringLiteral("Čas na vykreslení: ")));
    EXPECT_TRUE(Main->StatusPanels[4]->text().startsWith(QStringLiteral("Použito ")));
}

TEST_F(Truss, GridStepIsReadAtEveryMouseEvent) {
    TTrussForm* form = NewWindow();
    Main->RxSpinEditGrid->setValue(25);
    Drag(form, {37, 37}, {88, 12});
    ASSERT_EQ(form->Soustava().PrutCount(), 1);
    EXPECT_EQ(form->Soustava().Prut(0).Sa_X, 25);
    EXPECT_EQ(form->Soustava().Prut(0).Sb_X, 100) << "88/25 = 3.52 rounds to 4";
    EXPECT_EQ(form->Soustava().Prut(0).Sb_Y, 0);
}

TEST_F(Truss, UndoAndRedoThroughTheActionsAndKeys) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    Drag(form, {100, 40}, {100, 100});
    form->aUndo->trigger();
    EXPECT_EQ(form->Soustava().PrutCount(), 1);
    form->aRedo->trigger();
    EXPECT_EQ(form->Soustava().PrutCount(), 2);
    form->Image->setFocus();
    QTest::keyClick(form->Image, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Soustava().PrutCount(), 1);
    QTest::keyClick(form->Image, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Soustava().PrutCount(), 0);
    QTest::keyClick(form->Image, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Soustava().PrutCount(), 0) << "undo with nothing left does nothing";
    QTest::keyClick(form->Image, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form->Soustava().PrutCount(), 1);
}

TEST_F(Truss, OnlyTheActiveWindowTakesTheUndoKey) {
    TTrussForm* first = NewWindow();
    Drag(first, {40, 40}, {100, 40});
    TTrussForm* second = NewWindow();
    Drag(second, {40, 40}, {100, 40});
    ASSERT_EQ(Main->ActiveTrussForm(), second);
    second->Image->setFocus();
    QTest::keyClick(second->Image, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(second->Soustava().PrutCount(), 0);
    EXPECT_EQ(first->Soustava().PrutCount(), 1);
}

TEST_F(Truss, MiddleClickOnAJointDrawsTheProbeLabels) {
    TTrussForm* form = NewWindow();
    Pick(Main->btDTPrut);
    Drag(form, {100, 200}, {300, 200});
    Drag(form, {300, 200}, {200, 100});
    Drag(form, {200, 100}, {100, 200});
    Pick(Main->btDtPevnaPod);
    Drag(form, {100, 200}, {100, 200});
    Pick(Main->btDtVolPodY);
    Drag(form, {300, 200}, {300, 200});
    Pick(Main->btDtForceUp);
    Drag(form, {200, 100}, {200, 100});
    auto colourCount = [&](QRgb colour) {
        const QImage& p = form->Image->Picture();
        int n = 0;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                n += p.pixel(x, y) == colour;
        return n;
    };
    const QRgb green = qRgb(0, 128, 0);
    const QRgb red = qRgb(255, 0, 0);
    const int redBefore = colourCount(red);
    QTest::mouseClick(form->Image, Qt::MiddleButton, Qt::NoModifier, {151, 151});
    EXPECT_EQ(colourCount(green), 0) << "no joint at (160,160): nothing drawn";
    QTest::mouseClick(form->Image, Qt::MiddleButton, Qt::NoModifier, {201, 101});
    EXPECT_GT(colourCount(green), 20);
    EXPECT_GT(colourCount(red), redBefore + 20);
    EXPECT_EQ(form->Soustava().PrutCount(), 3) << "the probe changes nothing";
    form->RefreshTruss();
    EXPECT_EQ(colourCount(green), 0) << "the labels go with the next refresh";
}

} // namespace
