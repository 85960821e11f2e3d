// The truss window's analyses: the method setting, the panel's method field, mechanisms and the
// deformed shape drawn over the truss, and the truss's units.
#include "GuiFixture.h"
#include "NumberFormat.h"
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "UMatrix.h"
#include "ValueDialogs.h"
#include "plsLangConsts.h"

#include <QLineEdit>

#include <cmath>

namespace {

class AnalysisWindow : public TMainFormTest {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile f(Dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    }
    QString StatusText(TStatusPanel panel) const {
        return Main->StatusPanels[static_cast<size_t>(panel)]->text();
    }
    // Opens a truss unzoomed with the side panel shown.
    TTrussForm* Open(const QString& name, const QByteArray& bytes) {
        if (!Main->aShowSidePannel->isChecked())
            Main->aShowSidePannel->trigger();
        EXPECT_TRUE(Main->OpenTrussFile(Write(name, bytes)));
        TTrussForm* form = Main->ActiveTrussForm();
        form->ZoomReset();
        return form;
    }
    // Pixels of the drawing where the painted widget differs from its picture, that is where
    // the overlays drew, within box.
    static int OverlayPixels(TTrussForm* form, const QRect& box) {
        const QImage painted = form->Image->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage& picture = form->Image->Picture();
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += painted.pixel(x, y) != picture.pixel(x, y);
        return n;
    }
};

// A square of side 100 with bottom (40..140, 140), pinned bottom left, on a roller bottom right,
// its diagonal from bottom right to top left, and P = 10 to the right at the top left corner.
const QByteArray SquareWithOneDiagonal = "[Pruty]\nCount=5\n"
                                         "Sa_X0=40\nSa_Y0=140\nSb_X0=140\nSb_Y0=140\n"
                                         "Sa_X1=140\nSa_Y1=140\nSb_X1=140\nSb_Y1=40\n"
                                         "Sa_X2=140\nSa_Y2=40\nSb_X2=40\nSb_Y2=40\n"
                                         "Sa_X3=40\nSa_Y3=40\nSb_X3=40\nSb_Y3=140\n"
                                         "Sa_X4=140\nSa_Y4=140\nSb_X4=40\nSb_Y4=40\n"
                                         "[Podpery]\nCount=2\n"
                                         "X0=40\nY0=140\nP_X0=1\nP_Y0=1\n"
                                         "X1=140\nY1=140\nP_X1=0\nP_Y1=1\n"
                                         "[Zatizeni]\nCount=1\nSila0=10\nX0=40\nY0=40\nUhel0=0\n";

// The second diagonal, drawn in the window, makes the square once redundant. Force method by
// hand, all EA equal, redundant X in the new diagonal: the primary (one diagonal) carries
// bottom = left = P, right = top = 0, old diagonal -sqrt2 P; X = 1 gives -1/sqrt2 in every side
// and 1 in both diagonals. X = -sum N0 n L / sum n^2 L = P a (2 + sqrt2) / (a (2 + 2 sqrt2))
// = P / sqrt2, so bottom = left = P/2, right = top = -P/2, diagonals +-P/sqrt2. The joint
// equations number the new bar's force last, beyond their 8 columns, and leave it 0: the
// primary's forces.
TEST_F(AnalysisWindow, RedundantSquareShowsTheForceMethodAnswerOnlyWithTheSetting) {
    TTrussForm* form = Open(QStringLiteral("square.trs"), SquareWithOneDiagonal);
    Pick(Main->btDTPrut);
    Drag(form, {40, 140}, {140, 40});
    const TPrutovaSoustava& t = form->Soustava();
    ASSERT_EQ(t.PrutCount(), 6);
    ASSERT_EQ(t.StaticIndeterminacy(), 1);
    const double P = 10, r2 = std::sqrt(2.0);
    const double stiffness[] = {P / 2, -P / 2, -P / 2, P / 2, -P / r2, P / r2};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(t.Prut(i).Sila, stiffness[i], 1e-9) << "bar " << i;
    EXPECT_EQ(form->LEMetoda->text(), str_MetodaTuhostni);
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("0"));
    EXPECT_TRUE(form->Memo1->toPlainText().contains(str_Metoda + QStringLiteral(": ")));

    Main->aSolveByStiffness->trigger();
    const double joints[] = {P, 0, 0, P, -r2 * P, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(t.Prut(i).Sila, joints[i], 1e-9) << "bar " << i;
    EXPECT_EQ(form->LEMetoda->text(), str_MetodaStycnikova);
    EXPECT_EQ(form->LastAnalysis().Method, TSolveMethod::Joints);
    EXPECT_FALSE(form->Memo1->toPlainText().contains(str_Metoda + QStringLiteral(": ")));
}

// The square without diagonals sways: its top joints move sideways while the bottom stays.
TEST_F(AnalysisWindow, MechanismIsNamedInThePanelAndStatusBarAndItsMotionDrawn) {
    int refreshes = 0;
    TTrussForm* form = Open(QStringLiteral("sway.trs"), [&] {
        QFile f(Data("mechanism.trs"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }());
    QObject::connect(form, &TTrussForm::Refreshed, form, [&] { ++refreshes; });
    Main->aShowGrid->trigger(); // any refresh
    EXPECT_EQ(refreshes, 1);
    const TPrutovaSoustava& t = form->Soustava();
    const QString text = StatusText(spAnalysis);
    EXPECT_FALSE(text.isEmpty());
    for (QPoint top : {QPoint(40, 40), QPoint(120, 40)})
        EXPECT_TRUE(
            text.contains(QString::number(t.Stycnik(t.FindStycnik(top.x(), top.y())).Number)));
    EXPECT_TRUE(form->Memo1->toPlainText().startsWith(text));
    ASSERT_TRUE(form->ShowsAnalysisShape());
    // A tenth of the truss's 80 units sideways: circles around x = 40 +- 8 and 120 +- 8.
    EXPECT_GT(OverlayPixels(form, QRect(20, 30, 120, 20)), 0);
    EXPECT_EQ(OverlayPixels(form, QRect(0, 126, 200, 40)), 0) << "the bottom joints stay";

    // The joint method alone, as the window had it before, says no more than error 2.
    Main->aSolveByStiffness->trigger();
    EXPECT_FALSE(form->ShowsAnalysisShape());
    EXPECT_TRUE(StatusText(spAnalysis).isEmpty());
    EXPECT_FALSE(form->Memo1->toPlainText().startsWith(text));
    Main->aSolveByStiffness->trigger();
    ASSERT_TRUE(form->ShowsAnalysisShape());

    // A bar that braces it leaves nothing to show.
    Pick(Main->btDTPrut);
    Drag(form, {40, 120}, {120, 40});
    EXPECT_FALSE(form->ShowsAnalysisShape());
    EXPECT_TRUE(StatusText(spAnalysis).isEmpty());
}

// One bar of 100 units, EA 1, pinned at its left end and on a roller at its right end, pulled by
// 10: N = 10 and the right end moves N L / EA = 1000 along x. The largest displacement is drawn
// as a tenth of the truss's 100: magnified 100 * 0.1 / 1000 = 0.01, the end drawn at x = 150.
TEST_F(AnalysisWindow, DeformedShapeIsFoundAndDrawnOnlyWhenShown) {
    TTrussForm* form = Open(QStringLiteral("bar.trs"),
                            "[Pruty]\nCount=1\nSa_X0=40\nSa_Y0=40\nSb_X0=140\nSb_Y0=40\n"
                            "[Podpery]\nCount=2\nX0=40\nY0=40\nP_X0=1\nP_Y0=1\n"
                            "X1=140\nY1=40\nP_X1=0\nP_Y1=1\n"
                            "[Zatizeni]\nCount=1\nSila0=10\nX0=140\nY0=40\nUhel0=0\n");
    EXPECT_FALSE(form->LastAnalysis().Displacements.has_value());
    EXPECT_FALSE(form->ShowsAnalysisShape());
    EXPECT_TRUE(StatusText(spAnalysis).isEmpty());

    Main->aShowDeformed->trigger();
    ASSERT_TRUE(form->LastAnalysis().Displacements.has_value());
    EXPECT_NEAR((*form->LastAnalysis().Displacements)[1].Ux, 1000, 1e-6);
    EXPECT_TRUE(form->ShowsAnalysisShape());
    EXPECT_TRUE(StatusText(spAnalysis)
                    .contains(QStringLiteral("0") + DecimalSeparator() + QStringLiteral("01")))
        << StatusText(spAnalysis).toStdString();
    EXPECT_GT(OverlayPixels(form, QRect(142, 38, 10, 5)), 0);
    EXPECT_EQ(OverlayPixels(form, QRect(155, 30, 40, 20)), 0) << "drawn no further than 150";

    Main->aShowDeformed->trigger();
    EXPECT_FALSE(form->ShowsAnalysisShape());
}

TEST_F(AnalysisWindow, SettingsDefaultsAreStoredAndRestored) {
    EXPECT_TRUE(Main->aSolveByStiffness->isChecked());
    EXPECT_FALSE(Main->aShowDeformed->isChecked());
    EXPECT_TRUE(Main->Nastavit1->actions().contains(Main->aSolveByStiffness));
    EXPECT_TRUE(Main->Nastavit1->actions().contains(Main->aShowDeformed));
    Main->aSolveByStiffness->trigger();
    Main->aShowDeformed->trigger();
    ASSERT_TRUE(Main->close());
    const QMap<QString, QString> stored =
        ReadIniSection(OptionsIniFile(), QStringLiteral("TMainForm"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aSolveByStiffness_Checked")),
              QStringLiteral("False"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aShowDeformed_Checked")), QStringLiteral("True"));
    Main.reset();
    Main = std::make_unique<TMainForm>();
    Main->show();
    EXPECT_FALSE(Main->aSolveByStiffness->isChecked());
    EXPECT_TRUE(Main->aShowDeformed->isChecked());
}

} // namespace

// The units dialog changes the units in one undo step; the file keeps them in [Jednotky], and a
// truss at the default units writes no such section.
TEST_F(AnalysisWindow, UnitsDialogIsOneUndoStepAndSavedWithTheTruss) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    ASSERT_TRUE(form->aUnits->isEnabled());
    ValueDialogHandler = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Delka"))->setText(QLocale().toString(0.01));
        dialog.findChild<QLineEdit*>(QStringLiteral("JednotkaDelky"))->setText(QStringLiteral("m"));
        dialog.findChild<QLineEdit*>(QStringLiteral("JednotkaSily"))->setText(QStringLiteral("kN"));
        dialog.accept();
        return dialog.result();
    };
    form->aUnits->trigger();
    ValueDialogHandler = nullptr;
    EXPECT_EQ(form->Soustava().Units.Delka, 0.01);
    EXPECT_EQ(form->Soustava().Units.JednotkaDelky, QStringLiteral("m"));
    EXPECT_EQ(form->Soustava().Units.JednotkaSily, QStringLiteral("kN"));
    EXPECT_EQ(form->Soustava().PrutCount(), 1);

    auto saved = [&](const char* name) {
        const QString path = Dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(form->aFileSaveAsAccept(path));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    };
    const QString with = saved("units.trs");
    EXPECT_TRUE(with.contains(QStringLiteral("[Jednotky]")));
    EXPECT_TRUE(with.contains(QStringLiteral("JednotkaDelky=m")));
    EXPECT_TRUE(with.contains(QStringLiteral("JednotkaSily=kN")));

    form->aUndoExecute();
    EXPECT_EQ(form->Soustava().Units, TTrussUnits{});
    EXPECT_EQ(form->Soustava().PrutCount(), 1) << "the bar drawn before stays";
    EXPECT_FALSE(saved("plain.trs").contains(QStringLiteral("[Jednotky]")));
}

// The file numbers the roller's reaction beyond the 8 joint equations: they find no unique
// solution, the stiffness method does. The picture and the panel show the stiffness method's
// success, while the equations keep their own code for the matrix window.
TEST_F(AnalysisWindow, StiffnessSuccessIsDrawnWhileTheEquationsKeepTheirCode) {
    TTrussForm* form = Open(QStringLiteral("braced.trs"), [&] {
        QFile f(Data("braced-square.trs"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }());
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("0"));
    EXPECT_EQ(form->LastAnalysis().JointsErr, errNoSolution);
    EXPECT_EQ(EquationStore.Err, errNoSolution);
    const TPrut& bottom = form->Soustava().Prut(0);
    const QColor c =
        form->Image->Picture().pixelColor((bottom.Sa_X + bottom.Sb_X) / 2, bottom.Sa_Y);
    EXPECT_FALSE(c.red() == c.green() && c.green() == c.blue()) << "coloured, not grey";

    Main->aSolveByStiffness->trigger();
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2"));
    const QColor grey =
        form->Image->Picture().pixelColor((bottom.Sa_X + bottom.Sb_X) / 2, bottom.Sa_Y);
    EXPECT_TRUE(grey.red() == grey.green() && grey.green() == grey.blue());
}
