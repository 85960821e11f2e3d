// The Select tool, Delete, the clipboard, the value dialogs and the Insert menu in real windows,
// with the truss solved again after each edit and checked against hand statics.
#include "GuiFixture.h"
#include "SelectTool.h"
#include "TrussClipboard.h"
#include "TrussSelection.h"
#include "ValueDialogs.h"
#include "plsLangConsts.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>

#include <cmath>
#include <map>
#include <numbers>

namespace {

const double Root2 = std::sqrt(2.0);

// A square A B C D of side 160 with the diagonal AC, on a pin at A and a roller (y) at B,
// loaded at C by 10 along +x. Hand statics (y down): joint D carries nothing, so CD = DA = 0;
// at C, x: -AC/sqrt2 + 10 = 0 gives AC = 10 sqrt2; y: CB + AC/sqrt2 = 0 gives CB = -10; at B,
// x: AB = 0.
const QPoint A(60, 260), B(220, 260), C(220, 100), D(60, 100);

struct TAnswer {
    std::map<QString, QString> Fields;
    int Choice = -1;
    bool Accept = true;
};

class SelectEdit : public TMainFormTest {
protected:
    void SetUp() override {
        TMainFormTest::SetUp();
        if (!Main->aShowSidePannel->isChecked())
            Main->aShowSidePannel->trigger();
        ValueDialogHandler = [this](QDialog& dialog) {
            DialogsSeen.push_back(dialog.objectName());
            if (DialogAnswers.empty()) {
                ADD_FAILURE() << "unexpected value dialog " << dialog.objectName().toStdString();
                return int{QDialog::Rejected};
            }
            const TAnswer answer = DialogAnswers.front();
            DialogAnswers.erase(DialogAnswers.begin());
            for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
                Shown[edit->objectName()] = edit->text();
            for (const auto& [name, text] : answer.Fields) {
                if (auto* edit = dialog.findChild<QLineEdit*>(name))
                    edit->setText(text);
                else
                    ADD_FAILURE() << "no field " << name.toStdString();
            }
            if (answer.Choice >= 0)
                dialog.findChild<QComboBox*>(QStringLiteral("Fixed"))
                    ->setCurrentIndex(answer.Choice);
            if (answer.Accept)
                dialog.accept();
            return dialog.result();
        };
    }
    void TearDown() override {
        ValueDialogHandler = nullptr;
        EXPECT_TRUE(DialogAnswers.empty()) << "a value dialog that was expected did not appear";
        TMainFormTest::TearDown();
    }

    TTrussForm* Square() {
        TTrussForm* form = NewWindow();
        TPrutovaSoustava& t = form->Soustava();
        const std::pair<QPoint, QPoint> bars[] = {{A, B}, {B, C}, {C, D}, {D, A}, {A, C}};
        for (const auto& [p, q] : bars)
            t.AddPrut(p.x(), p.y(), q.x(), q.y());
        t.AddPodpera(A.x(), A.y(), P_X | P_Y, 0);
        t.AddPodpera(B.x(), B.y(), P_Y, 0);
        t.AddSila(C.x(), C.y(), 10, 0);
        form->RefreshTruss();
        return form;
    }

    // Pin at A, roller at B, apex E above the middle of AB, 20 pointing down at E.
    TTrussForm* Triangle() {
        TTrussForm* form = NewWindow();
        TPrutovaSoustava& t = form->Soustava();
        const std::pair<QPoint, QPoint> bars[] = {{A, B}, {B, E}, {E, A}};
        for (const auto& [p, q] : bars)
            t.AddPrut(p.x(), p.y(), q.x(), q.y());
        t.AddPodpera(A.x(), A.y(), P_X | P_Y, 0);
        t.AddPodpera(B.x(), B.y(), P_Y, 0);
        t.AddSila(E.x(), E.y(), 20, 90);
        form->RefreshTruss();
        return form;
    }

    static double Force(const TTrussForm* form, QPoint p, QPoint q) {
        const TPrutovaSoustava& t = form->Soustava();
        for (int i = 0; i < t.PrutCount(); ++i) {
            const TPrut& b = t.Prut(i);
            const QPoint a(b.Sa_X, b.Sa_Y), c(b.Sb_X, b.Sb_Y);
            if ((a == p && c == q) || (a == q && c == p))
                return b.Sila;
        }
        ADD_FAILURE() << "no bar between the points";
        return NAN;
    }

    void ExpectSquareSolved(const TTrussForm* form) {
        EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("0"));
        EXPECT_NEAR(Force(form, A, C), 10 * Root2, 1e-9);
        EXPECT_NEAR(Force(form, B, C), -10, 1e-9);
        EXPECT_NEAR(Force(form, A, B), 0, 1e-9);
        EXPECT_NEAR(Force(form, C, D), 0, 1e-9);
    }

    void Click(TTrussForm* form, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QTest::mouseClick(form->Image, Qt::LeftButton, keys, at);
    }
    void PressDelete(TTrussForm* form) {
        form->Image->setFocus();
        QTest::keyClick(form->Image, Qt::Key_Delete);
    }

    const QPoint E{140, 180};
    std::vector<TAnswer> DialogAnswers;
    std::vector<QString> DialogsSeen;
    std::map<QString, QString> Shown;
};

TEST_F(SelectEdit, AClickedBarIsDeletedByDelAsOneUndoStep) {
    TTrussForm* form = Square();
    ExpectSquareSolved(form);
    Pick(Main->btDtSelect);
    QTest::mouseMove(form->Image, {30, 30});
    EXPECT_EQ(form->Image->cursor().shape(), Qt::ArrowCursor) << "picking, not placing";
    EXPECT_FALSE(form->aDelete->isEnabled());
    Click(form, {143, 178}); // 2 pixels beside the diagonal's middle
    ASSERT_EQ(form->Selection->Count(), 1);
    EXPECT_TRUE(form->aDelete->isEnabled());
    EXPECT_TRUE(form->Copy1->isEnabled());
    const int steps = form->Soustava().SnapshotCount();
    PressDelete(form);
    EXPECT_EQ(form->Soustava().PrutCount(), 4);
    EXPECT_EQ(form->Soustava().SnapshotCount(), steps + 1);
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2")) << "a square without its diagonal";
    EXPECT_TRUE(form->Selection->IsEmpty());
    EXPECT_FALSE(form->aDelete->isEnabled());
    form->aUndo->trigger();
    EXPECT_EQ(form->Soustava().PrutCount(), 5);
    ExpectSquareSolved(form);
}

TEST_F(SelectEdit, SupportByItsPictureAndForceByItsArrowAreDeleted) {
    TTrussForm* form = Square();
    form->Soustava().AddSila(D.x(), D.y(), 20, 180);
    form->RefreshTruss();
    // With 20 pulling D to the left, D pulls CD to 20 and the diagonal turns to compression.
    EXPECT_NEAR(Force(form, C, D), 20, 1e-9);
    EXPECT_NEAR(Force(form, A, C), -10 * Root2, 1e-9);
    Pick(Main->btDtSelect);
    Click(form, D + QPoint(-12, 1)); // on the arrow, 12 pixels from the joint
    ASSERT_EQ(form->Selection->Count(), 1);
    form->aDelete->trigger();
    EXPECT_EQ(form->Soustava().SilaCount(), 1);
    ExpectSquareSolved(form);

    Click(form, B + QPoint(0, 15)); // the roller's picture under the joint
    ASSERT_EQ(form->Selection->Resolve(form->Soustava()).Supports, std::vector<int>{1});
    PressDelete(form);
    EXPECT_EQ(form->Soustava().PodperaCount(), 1);
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2")) << "nothing holds the truss up at B";
    form->aUndo->trigger();
    ExpectSquareSolved(form);
}

TEST_F(SelectEdit, RectangleTakesWhatItEnclosesAndShiftAddsToIt) {
    TTrussForm* form = Square();
    // A loose bar loaded at its end: the truss is a mechanism until it goes.
    form->Soustava().AddPrut(300, 100, 380, 100);
    form->Soustava().AddSila(380, 100, 5, 90);
    form->RefreshTruss();
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2"));
    Pick(Main->btDtSelect);
    Click(form, {143, 178});
    Drag(form, {290, 60}, {395, 150});
    EXPECT_EQ(form->Selection->Count(), 2) << "the loose bar and its load replace the diagonal";
    Click(form, {143, 178}, Qt::ShiftModifier);
    EXPECT_EQ(form->Selection->Count(), 3);
    form->Image->setFocus();
    QTest::keyClick(form->Image, Qt::Key_Escape);
    EXPECT_TRUE(form->Selection->IsEmpty());

    QTest::mousePress(form->Image, Qt::LeftButton, Qt::NoModifier, {290, 60});
    QTest::mouseMove(form->Image, {395, 150});
    EXPECT_EQ(form->SelectTool->Rubber(), QRect(QPoint(290, 60), QPoint(395, 150)));
    QTest::mouseRelease(form->Image, Qt::LeftButton, Qt::NoModifier, {395, 150});
    const int steps = form->Soustava().SnapshotCount();
    form->aDelete->trigger();
    EXPECT_EQ(form->Soustava().SnapshotCount(), steps + 1);
    EXPECT_EQ(form->Soustava().StycnikCount(), 4);
    ExpectSquareSolved(form);
    form->aUndo->trigger();
    EXPECT_EQ(form->Soustava().PrutCount(), 6);
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2"));
}

TEST_F(SelectEdit, HighlightIsDrawnOverThePictureAndFollowsUndoByItsKeys) {
    TTrussForm* form = Square();
    Pick(Main->btDtSelect);
    const QPoint middle(140, 180);
    const QImage picture = form->Image->Picture().copy();
    const QRgb shown = form->Image->grab().toImage().pixel(middle);
    Click(form, middle);
    EXPECT_EQ(form->Image->Picture(), picture) << "the cached picture stays clean";
    EXPECT_NE(form->Image->grab().toImage().pixel(middle), shown) << "the overlay shows";

    // Undo and redo rebuild the bars and number them anew; the key still finds the diagonal.
    TPrutovaSoustava& t = form->Soustava();
    form->aUndo->trigger();
    form->aRedo->trigger();
    ASSERT_EQ(form->Selection->Resolve(t).Bars, std::vector<int>{4});
    // Back to before the diagonal was drawn: nothing is selected any more.
    for (int i = 0; i < 4; ++i)
        form->aUndo->trigger();
    EXPECT_TRUE(form->Selection->IsEmpty());
    EXPECT_FALSE(form->Cut1->isEnabled());
}

TEST_F(SelectEdit, ForceDialogTakesAnyMagnitudeAndAngleAndRefusesWhatIsNoNumber) {
    TTrussForm* form = Triangle();
    Pick(Main->btDtSelect);
    // First a magnitude that is no number: refused with a warning, the dialog stays open.
    DialogAnswers.push_back({{{QStringLiteral("Sila"), QStringLiteral("ten")}}, -1, true});
    Answers.push_back(mrOk);
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, E + QPoint(0, 13));
    ASSERT_EQ(DialogsSeen, std::vector<QString>{QStringLiteral("ForceDialog")});
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Text.contains(str_Velikost)) << Messages[0].Text.toStdString();
    EXPECT_EQ(form->Soustava().Sila(0).Sila, 20) << "a refused dialog changes nothing";

    const int steps = form->Soustava().SnapshotCount();
    DialogAnswers.push_back({{{QStringLiteral("Sila"), QStringLiteral("10")},
                              {QStringLiteral("Uhel"), QStringLiteral("30")}}});
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, E + QPoint(0, 13));
    EXPECT_EQ(Shown[QStringLiteral("Sila")], QStringLiteral("20"));
    EXPECT_EQ(Shown[QStringLiteral("Uhel")], QStringLiteral("90"));
    EXPECT_EQ(form->Soustava().SnapshotCount(), steps + 1);
    // Hand statics with F = 10 at 30 degrees (y down), bars at 45 degrees: at E,
    // x: (-EA + EB)/sqrt2 + Fx = 0, y: (EA + EB)/sqrt2 + Fy = 0; at B, x: AB = -EB/sqrt2.
    const double fx = 10 * std::cos(std::numbers::pi / 6), fy = 10 * std::sin(std::numbers::pi / 6);
    EXPECT_NEAR(Force(form, E, B), -(fx + fy) / Root2, 1e-9);
    EXPECT_NEAR(Force(form, E, A), (fx - fy) / Root2, 1e-9);
    EXPECT_NEAR(Force(form, A, B), (fx + fy) / 2, 1e-9);
    form->aUndo->trigger();
    EXPECT_EQ(form->Soustava().Sila(0).Uhel, 90);
    EXPECT_NEAR(Force(form, A, B), 10, 1e-9);
}

TEST_F(SelectEdit, NumbersAreTypedInTheUsersLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    TTrussForm* form = Triangle();
    form->Soustava().Sila(0).Sila = 20.5;
    DialogAnswers.push_back({{{QStringLiteral("Sila"), QStringLiteral("12,25")}}});
    Pick(Main->btDtSelect);
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, E + QPoint(0, 13));
    QLocale::setDefault(before);
    EXPECT_EQ(Shown[QStringLiteral("Sila")], QStringLiteral("20,5"));
    EXPECT_EQ(form->Soustava().Sila(0).Sila, 12.25);
}

TEST_F(SelectEdit, SupportJointAndBarDialogsAreOneUndoStepEach) {
    TTrussForm* form = Triangle();
    TPrutovaSoustava& t = form->Soustava();
    Pick(Main->btDtSelect);
    // The roller turned to take x only: B and A both hold along x, nothing along y at B.
    DialogAnswers.push_back({{}, 1});
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, B + QPoint(0, 15));
    EXPECT_EQ(t.Podpera(1).Fixed, P_X);
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2"));
    form->aUndo->trigger();
    EXPECT_EQ(t.Podpera(1).Fixed, P_Y);

    // The apex raised to (140, 100), its load with it. By symmetry EA = EB = N; at E,
    // y: 2 N 160/sqrt(80^2 + 160^2) + 20 = 0 gives N = -5 sqrt5; at B, x: AB = -N 80/L = 5.
    const int steps = t.SnapshotPos;
    DialogAnswers.push_back({{{QStringLiteral("Y"), QStringLiteral("100")}}});
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, E + QPoint(2, -1));
    EXPECT_EQ(Shown[QStringLiteral("X")], QStringLiteral("140"));
    const QPoint top(140, 100);
    EXPECT_NEAR(Force(form, top, A), -5 * std::sqrt(5.0), 1e-9);
    EXPECT_NEAR(Force(form, A, B), 5, 1e-9);
    EXPECT_EQ(QPoint(t.Sila(0).X, t.Sila(0).Y), top);
    EXPECT_EQ(t.SnapshotPos, steps + 1);
    // Onto B, as the move tool would: the bar between them vanishes.
    DialogAnswers.push_back({{{QStringLiteral("X"), QStringLiteral("220")},
                              {QStringLiteral("Y"), QStringLiteral("260")}}});
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, top);
    EXPECT_EQ(t.PrutCount(), 1) << "EB of length 0, and EA become BA, which AB already is";
    form->aUndo->trigger();
    form->aUndo->trigger();
    EXPECT_EQ(t.StycnikCount(), 3);
    EXPECT_NE(t.FindStycnik(E.x(), E.y()), -1);

    // A bar's ends and stiffness: both ends at one point is refused, and so is an EA of 0;
    // then end B moved and EA set.
    DialogAnswers.push_back({{{QStringLiteral("SbX"), QStringLiteral("60")}}, -1, true});
    DialogAnswers.push_back({{{QStringLiteral("EA"), QStringLiteral("0")}}, -1, true});
    Answers = {mrOk, mrOk};
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, {180, 261});
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, {180, 261});
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[0].Text, msg_KonecPrutu);
    EXPECT_TRUE(Messages[1].Text.contains(QStringLiteral("EA"))) << Messages[1].Text.toStdString();
    EXPECT_EQ(Shown[QStringLiteral("EA")], QStringLiteral("1"));
    DialogAnswers.push_back({{{QStringLiteral("SbX"), QStringLiteral("241")},
                              {QStringLiteral("EA"), QStringLiteral("2.5")}}});
    QTest::mouseDClick(form->Image, Qt::LeftButton, Qt::NoModifier, {180, 261});
    EXPECT_EQ(t.Prut(0).Sb_X, 241) << "typed coordinates are not snapped";
    EXPECT_EQ(t.Prut(0).EA, 2.5);
    EXPECT_EQ(form->Selection->Resolve(t).Bars, std::vector<int>{0});
    form->aUndo->trigger();
    EXPECT_EQ(t.Prut(0).Sb_X, 220);
    EXPECT_EQ(t.Prut(0).EA, DefaultEA);
}

TEST_F(SelectEdit, InsertMenuBuildsATrussFromItsDialogs) {
    TTrussForm* form = NewWindow();
    EXPECT_TRUE(form->Insert1->menuAction()->isVisible());
    EXPECT_TRUE(Main->menuBar()->actions().contains(form->Insert1->menuAction()));
    const auto bar = [](QPoint p, QPoint q) {
        return TAnswer{{{QStringLiteral("SaX"), QString::number(p.x())},
                        {QStringLiteral("SaY"), QString::number(p.y())},
                        {QStringLiteral("SbX"), QString::number(q.x())},
                        {QStringLiteral("SbY"), QString::number(q.y())}}};
    };
    const std::pair<QPoint, QPoint> bars[] = {{A, B}, {B, E}, {E, A}};
    for (const auto& [p, q] : bars) {
        DialogAnswers.push_back(bar(p, q));
        form->aInsertPrut->trigger();
    }
    const auto at = [](QPoint p) {
        return std::map<QString, QString>{{QStringLiteral("X"), QString::number(p.x())},
                                          {QStringLiteral("Y"), QString::number(p.y())}};
    };
    DialogAnswers.push_back({at(A), 0});
    form->aInsertPodpera->trigger();
    DialogAnswers.push_back({at(B), 2});
    form->aInsertPodpera->trigger();
    DialogAnswers.push_back({at(E)});
    form->aInsertSila->trigger();
    DialogAnswers.push_back({{}, -1, false});
    form->aInsertSila->trigger();
    EXPECT_EQ(Shown[QStringLiteral("Sila")], QStringLiteral("20")) << "the palette's force";

    const TPrutovaSoustava& t = form->Soustava();
    EXPECT_EQ(t.SnapshotCount(), 6) << "the cancelled dialog adds nothing";
    EXPECT_EQ(t.SilaCount(), 1);
    EXPECT_EQ(t.Podpera(1).Fixed, P_Y);
    EXPECT_EQ(t.Sila(0).Uhel, 90);
    // 20 down at E between two bars at 45 degrees: each -20/(2/sqrt2); AB holds their spread.
    EXPECT_NEAR(Force(form, E, A), -10 * Root2, 1e-9);
    EXPECT_NEAR(Force(form, E, B), -10 * Root2, 1e-9);
    EXPECT_NEAR(Force(form, A, B), 10, 1e-9);
    EXPECT_EQ(form->Selection->Resolve(t).Loads, std::vector<int>{0}) << "the last insert";
}

TEST_F(SelectEdit, ClipboardCarriesASelectionToAnotherWindowAndASecondPasteGoesBeside) {
    TTrussForm* source = Square();
    source->Soustava().Prut(4).EA = 3; // the diagonal's stiffness travels with it
    source->Image->setFocus();
    QTest::keyClick(source->Image, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(source->Selection->Count(), 8);
    QTest::keyClick(source->Image, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(TrussMimeType));
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("[Pruty]\r\nCount=5\r\n")));

    TTrussForm* target = NewWindow();
    EXPECT_FALSE(source->Paste1->isEnabled()) << "only the active window takes the keys";
    ASSERT_TRUE(target->Paste1->isEnabled());
    target->Paste1->trigger();
    const TPrutovaSoustava& t = target->Soustava();
    QStringList sourceItems, targetItems;
    source->Soustava().SaveItemsToStrings(sourceItems);
    t.SaveItemsToStrings(targetItems);
    EXPECT_EQ(targetItems, sourceItems);
    EXPECT_EQ(t.Prut(4).EA, 3);
    EXPECT_EQ(t.SnapshotCount(), 1);
    ExpectSquareSolved(target);

    target->Paste1->trigger();
    ASSERT_EQ(t.PrutCount(), 10);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t.Prut(5 + i).Sa_X, t.Prut(i).Sa_X + 20);
        EXPECT_EQ(t.Prut(5 + i).Sb_Y, t.Prut(i).Sb_Y + 20);
    }
    EXPECT_EQ(target->Selection->Resolve(t).Bars, (std::vector<int>{5, 6, 7, 8, 9}));
    EXPECT_EQ(target->Selection->Count(), 8);
    target->aUndo->trigger();
    EXPECT_EQ(t.PrutCount(), 5);

    // Cut: copied, then gone in one step.
    target->aSelectAll->trigger();
    target->Cut1->trigger();
    EXPECT_EQ(t.PrutCount(), 0);
    EXPECT_EQ(ReadTrussText(ClipboardTrussText())->Bars.size(), 5u);
}

TEST_F(SelectEdit, PasteReadsTrussTextFromAnyProgramAndRefusesOtherText) {
    TTrussForm* form = NewWindow();
    QGuiApplication::clipboard()->setText(QStringLiteral("Shopping list: milk, eggs"));
    ASSERT_TRUE(form->Paste1->isEnabled());
    form->Paste1->trigger();
    EXPECT_EQ(form->Soustava().SnapshotCount(), 0);
    EXPECT_EQ(Main->StatusPanels[0]->text(), str_SchrankaBezKonstrukce);

    // As a text editor would hand it over: plain text, LF line ends, lower-case keys.
    QGuiApplication::clipboard()->setText(
        QStringLiteral("[pruty]\ncount=1\nsa_x0=40\nsa_y0=40\nsb_x0=120\nsb_y0=40\n"));
    form->Paste1->trigger();
    ASSERT_EQ(form->Soustava().PrutCount(), 1);
    EXPECT_EQ(form->Soustava().Prut(0).Sb_X, 120);
}

} // namespace
