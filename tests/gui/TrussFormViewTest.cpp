// Zoom and pan of real truss windows: the wheel, the keys, fitting, snapping and the probe through
// the view, the overlay hook, and the main window's first placement.
#include "GuiFixture.h"
#include "NumberFormat.h"
#include "TrussPicture.h"
#include "UMatrix.h"

#include <QFontMetrics>
#include <QScreen>
#include <QWheelEvent>

#include <cmath>

namespace {

using Zoom = TMainFormTest;

const QRgb JointBlue = qRgb(0, 0, 255);

void Wheel(QWidget* w, QPoint at, QPoint delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), delta, Qt::NoButton,
                  modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

TViewTransform Zoomed(double scale, QPointF offset) {
    TViewTransform v;
    v.ZoomAt(QPointF(0, 0), scale);
    v.PanBy(offset);
    return v;
}

QString Example(const char* name) {
    return QStringLiteral(TRABEX_TEST_DATA "/../../examples/") + QLatin1String(name);
}

TEST_F(Zoom, CtrlWheelZoomsAboutTheCursor) {
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    ASSERT_TRUE(form->View().IsIdentity()) << "a truss that fits opens at 100 %";
    EXPECT_EQ(Main->StatusPanels[spZoom]->text(), QStringLiteral("Měřítko: 100 %"));
    // One notch at the apex (140, 40): 125 %, the apex stays, offset 140 - 140 * 1.25 = -35 and
    // 40 - 40 * 1.25 = -10; the joint at (40, 140) moves to (40 * 1.25 - 35, 140 * 1.25 - 10).
    Wheel(form->Image, {140, 40}, {0, 120}, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form->View().Scale(), 1.25);
    EXPECT_EQ(form->View().Offset(), QPointF(-35, -10));
    const QImage& picture = form->Image->Picture();
    EXPECT_EQ(picture.pixel(140, 40), JointBlue);
    EXPECT_EQ(picture.pixel(15, 165), JointBlue);
    EXPECT_NE(picture.pixel(40, 140), JointBlue);
    EXPECT_EQ(Main->StatusPanels[spZoom]->text(), QStringLiteral("Měřítko: 125 %"));
    // The keys: one step out about the middle, then back to 100 % with no pan.
    form->Image->setFocus();
    QTest::keyClick(form->Image, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form->View().Scale(), 1);
    QTest::keyClick(form->Image, Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(form->View().IsIdentity());
    EXPECT_EQ(Main->StatusPanels[spZoom]->text(), QStringLiteral("Měřítko: 100 %"));
}

TEST_F(Zoom, WheelAndSpaceDragPanWithoutEditing) {
    TTrussForm* form = NewWindow();
    Wheel(form->Image, {100, 100}, {0, -120}, Qt::NoModifier);
    EXPECT_EQ(form->View().Offset(), QPointF(0, -60)) << "a notch down shows what lies below";
    Wheel(form->Image, {100, 100}, {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(form->View().Offset(), QPointF(-60, -60));
    form->Image->setFocus();
    QTest::keyPress(form->Image, Qt::Key_Space);
    Drag(form, {100, 100}, {130, 90});
    QTest::keyRelease(form->Image, Qt::Key_Space);
    EXPECT_EQ(form->View().Offset(), QPointF(-30, -70));
    EXPECT_EQ(form->Soustava().PrutCount(), 0) << "a pan draws no bar";
    Drag(form, {100, 100}, {160, 100});
    ASSERT_EQ(form->Soustava().PrutCount(), 1);
    // Screen (100, 100) is drawing point (130, 170), halfway both ways: (120, 160); screen
    // (160, 100) is (190, 170): (200, 160).
    const TPrut& bar = form->Soustava().Prut(0);
    EXPECT_EQ(QRect(QPoint(bar.Sa_X, bar.Sa_Y), QPoint(bar.Sb_X, bar.Sb_Y)),
              QRect(QPoint(120, 160), QPoint(200, 160)));
}

TEST_F(Zoom, ClicksSnapToTheSameGridPointAtAnyZoom) {
    TTrussForm* form = NewWindow();
    for (const TViewTransform& v :
         {TViewTransform(), Zoomed(2.5, {-100, -50}), Zoomed(0.4, {13, 7})}) {
        form->SetView(v);
        const QPoint from = v.ToScreenPoint(QPointF(118, 83));
        const QPoint to = v.ToScreenPoint(QPointF(203, 157));
        QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(form->Image, to);
        EXPECT_EQ(Main->StatusPanels[spDrag]->text(), QStringLiteral("[120,80] -> [200,160]"));
        QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, to);
        const TPrut& bar = form->Soustava().Prut(form->Soustava().PrutCount() - 1);
        EXPECT_EQ(QRect(QPoint(bar.Sa_X, bar.Sa_Y), QPoint(bar.Sb_X, bar.Sb_Y)),
                  QRect(QPoint(120, 80), QPoint(200, 160)))
            << "at " << v.Scale();
    }
    // At 250 % the cursor's drawing units: screen (408, 342) is ((408 + 100) / 2.5, (342 + 50)
    // / 2.5) = (203.2, 156.8), rounded.
    form->SetView(Zoomed(2.5, {-100, -50}));
    QTest::mouseMove(form->Image, {408, 342});
    EXPECT_EQ(Main->StatusPanels[spCursor]->text(), QStringLiteral("Souřadnice: [203, 157]"));
}

TEST_F(Zoom, FitShowsTheWholeBridgeAndOpeningFitsIt) {
    ASSERT_TRUE(Main->OpenTrussFile(Example("pratt-bridge.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    const TPrutovaSoustava& t = form->Soustava();
    ASSERT_EQ(t.StycnikCount(), 100);
    auto allInside = [&] {
        for (int i = 0; i < t.StycnikCount(); ++i)
            if (!form->Image->rect().contains(
                    form->View().ToScreenPoint(QPoint(t.Stycnik(i).X, t.Stycnik(i).Y))))
                return false;
        return true;
    };
    EXPECT_LT(form->View().Scale(), 1) << "the bridge (980 wide) does not fit a new window";
    EXPECT_TRUE(allInside());
    // Larger, 100 %, then Ctrl+F: the joints span x = 40 .. 1020, the box is far wider than
    // high, so its width fills the drawing less 30 pixels on each side.
    form->parentWidget()->resize(1000, 600);
    form->ZoomReset();
    EXPECT_FALSE(allInside());
    form->Image->setFocus();
    QTest::keyClick(form->Image, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(allInside());
    const int width = form->Image->width();
    EXPECT_NEAR(form->View().ToScreen(QPointF(40, 0)).x(), 30, 0.5);
    EXPECT_NEAR(form->View().ToScreen(QPointF(1020, 0)).x(), width - 30, 0.5);
    EXPECT_DOUBLE_EQ(form->View().Scale(), (width - 60) / 980.0);
}

TEST_F(Zoom, ZoomAndPanRedrawWithoutSolving) {
    ASSERT_TRUE(Main->OpenTrussFile(Example("pratt-bridge.trs")));
    TTrussForm* bridge = Main->ActiveTrussForm();
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    // The triangle was solved last: 3 joints, 6 equations in the process-wide store.
    ASSERT_EQ(EquationStore.N, 6);
    const QImage before = bridge->Image->Picture().copy();
    bridge->ZoomIn();
    bridge->PanBy({15, -5});
    EXPECT_EQ(EquationStore.N, 6) << "the bridge was solved again";
    EXPECT_NE(bridge->Image->Picture(), before);
}

// The probe at 250 %: every cell's label at the screen place of its grid point, the smallest
// sum on green and the largest on red, the texts those drawn at 100 %.
TEST_F(Zoom, ProbeLabelsFollowTheView) {
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    QFont font(QStringLiteral("Arial"), 8);
    font.setStyleHint(QFont::SansSerif);
    const QFontMetrics metrics(font, &form->Image->Picture());
    const int h = metrics.height();
    TProbeGrid table;
    auto probe = [&] {
        QTest::mouseClick(form->Image, Qt::MiddleButton, Qt::NoModifier,
                          form->View().ToScreenPoint(QPointF(140, 40)));
        return form->Image->Picture().copy();
    };
    // Where the upper label of cell (i, j) starts, its corner, with its grid point at p.
    auto corner = [&](int i, int j, QPoint p) {
        const QString text = FormatFixed(table[i + 3][j + 3].SumAbs, 0);
        return QRect(p.x() - metrics.horizontalAdvance(text) / 2, p.y() - h / 2,
                     metrics.horizontalAdvance(text), h);
    };
    const QImage at100 = probe();
    ASSERT_NE(form->Soustava().ProbeStycnik(140, 40, 20, table), -1);
    form->SetView(Zoomed(2.5, {-100, 100}));
    const QImage at250 = probe();
    int green = 0, red = 0;
    for (int i = -3; i <= 3; ++i)
        for (int j = -3; j <= 3; ++j) {
            // By hand: (140 + 20 i) * 2.5 - 100 and (40 + 20 j) * 2.5 + 100.
            const QRect box = corner(i, j, QPoint(250 + 50 * i, 200 + 50 * j));
            const QColor c = at250.pixelColor(box.topLeft());
            const double sum = table[i + 3][j + 3].SumAbs;
            const QColor expected = sum == form->Soustava().MinSumAbs   ? QColor(0, 128, 0)
                                    : sum == form->Soustava().MaxSumAbs ? QColor(255, 0, 0)
                                                                        : QColor(Qt::white);
            EXPECT_EQ(c, expected) << i << "," << j;
            if (expected != Qt::white) {
                EXPECT_NE(at250.pixelColor(box.topLeft() - QPoint(1, 1)), expected)
                    << i << "," << j;
            }
            green += c == QColor(0, 128, 0);
            red += c == QColor(255, 0, 0);
        }
    EXPECT_GE(green, 1);
    EXPECT_GE(red, 1);
    // The last cell drawn, (3, 3), is whole at 100 % too: its text is the same.
    EXPECT_EQ(at250.copy(corner(3, 3, QPoint(400, 350))),
              at100.copy(corner(3, 3, QPoint(200, 100))));
}

TEST_F(Zoom, OverlaysPaintOverThePictureWithTheView) {
    TTrussForm* form = NewWindow();
    const QRgb magenta = qRgb(255, 0, 255);
    const int id = form->AddOverlay([](QPainter& p, const TViewTransform& v) {
        p.fillRect(QRect(v.ToScreenPoint(QPointF(100, 100)) - QPoint(1, 1), QSize(3, 3)),
                   QColor(magenta));
    });
    EXPECT_EQ(form->Image->grab().toImage().pixel(100, 100), magenta);
    form->SetView(Zoomed(2, {0, 0}));
    const QImage shown = form->Image->grab().toImage();
    EXPECT_EQ(shown.pixel(200, 200), magenta);
    EXPECT_NE(shown.pixel(100, 100), magenta);
    EXPECT_NE(form->Image->Picture().pixel(200, 200), magenta) << "the picture stays clean";
    form->RemoveOverlay(id);
    EXPECT_NE(form->Image->grab().toImage().pixel(200, 200), magenta);
}

TEST_F(Zoom, ZoomCommandsNeedATrussWindow) {
    for (QAction* a : {Main->aZoomIn, Main->aZoomOut, Main->aZoomReset, Main->aZoomFit})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(Main->StatusPanels[spZoom]->text(), QString());
    NewWindow();
    for (QAction* a : {Main->aZoomIn, Main->aZoomOut, Main->aZoomReset, Main->aZoomFit})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(Main->StatusPanels[spZoom]->text(), QStringLiteral("Měřítko: 100 %"));
}

// No placement stored: 90 % of the screen's free area, centred; afterwards the stored one.
TEST_F(Zoom, FirstStartTakesMostOfTheScreenAndAStoredPlacementWins) {
    const QRect area = Main->screen()->availableGeometry();
    const QSize most(area.width() * 9 / 10, area.height() * 9 / 10);
    QWidget plain;
    PlaceOnFirstStart(plain);
    EXPECT_EQ(plain.geometry(), QRect(area.topLeft() + QPoint((area.width() - most.width()) / 2,
                                                              (area.height() - most.height()) / 2),
                                      most));
    // The frame window, its frame included, as high and centred the same way; the offscreen
    // screen is narrower than the palette, so the width is the window's least.
    const QRect frame = Main->frameGeometry();
    EXPECT_EQ(frame.height(), most.height());
    EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
    EXPECT_GE(frame.width(), most.width());
    Main.reset();
    ASSERT_TRUE(WriteIniSection(OptionsIniFile(), QStringLiteral("TMainForm"),
                                {{QStringLiteral("NormPos"), QStringLiteral("10,20,1110,720")}}));
    Main = std::make_unique<TMainForm>();
    Main->show();
    EXPECT_EQ(Main->geometry(), QRect(10, 20, 1100, 700));
}

} // namespace
