// The truss window's refresh: solve, status texts, matrix window, information panel, picture.
#include "FTrussForm.h"

#include "MechanismText.h"
#include "NumberFormat.h"
#include "PostedMessageDlg.h"
#include "RutinyUnit.h"
#include "TrussPicture.h"
#include "TrussSelection.h"
#include "UMatrix.h"
#include "UnitMatice.h"
#include "plsLangConsts.h"

#include <QFontMetrics>
#include <QLayout>

#include <cmath>

namespace {

// The picture is this much smaller than the scroll box on each axis.
constexpr int PictureMargin = 5;
constexpr int ProbeReach = 3;
const QColor ProbeMinColour(0, 128, 0);
const QColor ProbeMaxColour(255, 0, 0);
const QColor MechanismColour(220, 0, 0);
const QColor DeformedColour(0, 0, 220);
// Significant digits of the deformed shape's magnification in the status bar.
constexpr int ScaleDigits = 3;

void SetFlag(std::uint8_t flag, bool on) {
    if (on)
        DisplayFlags |= flag;
    else
        DisplayFlags &= static_cast<std::uint8_t>(~flag);
}

QString TimeText(const QString& pattern, double ms) {
    return FormatConst(pattern, FormatDecimals(ms, 2));
}

void ClearForces(TPrutovaSoustava& truss) {
    for (int i = 0; i < truss.PrutCount(); ++i)
        truss.Prut(i).Sila = 0;
    for (int i = 0; i < truss.PodperaCount(); ++i)
        truss.Podpera(i).ReactionX = truss.Podpera(i).ReactionY = 0;
}

QString ScaleText(double scale) {
    const double step = std::pow(10.0, std::floor(std::log10(scale)) - (ScaleDigits - 1));
    return FormatFileReal(std::round(scale / step) * step);
}

QString MemoryText() {
    try {
        return FormatConst(str_MemoryUsed,
                           FormatThousands(static_cast<double>(GetProcessMemoryUsed()) / 1000.0));
    } catch (const std::exception&) {
        return FormatConst(str_MemoryUsed, QStringLiteral("?"));
    }
}

const QFont& ProbeFont() {
    static const QFont font = [] {
        QFont f(QStringLiteral("Arial"), 8);
        f.setStyleHint(QFont::SansSerif);
        return f;
    }();
    return font;
}

// What the picture shows by the frame's display options, after a solve that ended with err.
TTrussRenderOptions RenderOptionsOf(const TTrussDisplayOptions& options, std::uint8_t err,
                                    double gridStep) {
    TTrussRenderOptions render;
    render.Flags = static_cast<std::uint8_t>((options.ShowPrutName ? dfPrutName : 0) |
                                             (options.ShowPrutForce ? dfPrutForce : 0) |
                                             (options.ShowStycNo ? dfStycNo : 0));
    render.Err = err;
    render.GridStep = options.ShowGrid ? static_cast<int>(std::lround(gridStep)) : 0;
    // Checked "grid as line" draws dots; unchecked draws lines.
    render.GridLines = !options.GridAsLine;
    return render;
}

// The designed drawing and panel read the joint equations' code from the EquationStore; while
// they show a truss solved by stiffness they read the analysis's, and the matrix window keeps
// reporting on its equations afterwards.
class TEquationErrOverride {
public:
    explicit TEquationErrOverride(std::uint8_t err) : saved(EquationStore.Err) {
        EquationStore.Err = err;
    }
    ~TEquationErrOverride() { EquationStore.Err = saved; }
    TEquationErrOverride(const TEquationErrOverride&) = delete;
    TEquationErrOverride& operator=(const TEquationErrOverride&) = delete;

private:
    std::uint8_t saved;
};

TAnalysisOptions AnalysisOptionsOf(const TTrussDisplayOptions& options) {
    TAnalysisOptions a;
    a.Method = options.SolveByStiffness ? TSolveMethod::Auto : TSolveMethod::Joints;
    a.Displacements = options.ShowDeformed;
    // Without the stiffness setting the window is the joint method's alone, error 2 unexplained.
    a.ExplainMechanism = options.SolveByStiffness;
    return a;
}

// Text on an opaque background with its top-left corner at (x, y).
void DrawOpaqueText(QPainter& canvas, int x, int y, const QString& text, const QColor& background) {
    const QFontMetrics metrics(canvas.font(), canvas.device());
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    canvas.fillRect(box, background);
    canvas.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

} // namespace

void TTrussForm::RefreshTruss() {
    const TTrussDisplayOptions options = host.DisplayOptions();
    SetFlag(dfPrutName, options.ShowPrutName);
    SetFlag(dfPrutForce, options.ShowPrutForce);
    SetFlag(dfStycNo, options.ShowStycNo);

    // A truss the equations cannot hold is shown as not solved: Solve leaves the store saying so,
    // which greys the bars and puts "?" for their forces.
    QStringList failures;
    bool solves = true;
    const TAnalysisOptions analysisOptions = AnalysisOptionsOf(options);
    try {
        // The joint equations leave an unknown they have no column for as it was: not with the
        // stiffness method's force of the refresh before.
        if (lastAnalysis.Method == TSolveMethod::Stiffness)
            ClearForces(*soustava);
        lastAnalysis = Analyse(*soustava, stiffness, analysisOptions);
        // Beyond the joint equations and not solved by stiffness either: the joint equations'
        // own refusal says why, as when they alone are used.
        if (lastAnalysis.JointsRefused && lastAnalysis.Err != 0)
            soustava->Solve();
        // The joint method alone times its solve as it always did.
        const bool jointsOnly =
            analysisOptions.Method == TSolveMethod::Joints && !analysisOptions.Displacements;
        host.SetStatusText(
            spCalcTime,
            TimeText(str_TimeToCalculate, jointsOnly ? soustava->CalcTime : lastAnalysis.CalcTime));
    } catch (const std::exception& e) {
        solves = false;
        lastAnalysis = TAnalysis{};
        lastAnalysis.Err = lastAnalysis.JointsErr = errNoSolution;
        failures << FailureText(e);
        host.SetStatusText(spCalcTime, FormatConst(str_NelzeSpocitat, failures.back()));
    }
    const std::uint8_t err = lastAnalysis.Err;
    ShowAnalysisShape(options.ShowDeformed);
    host.SetStatusText(spAnalysis, AnalysisStatusText());
    // A redraw of a zoom or a pan colours the bars by it without solving again.
    solveErr = err;

    // Whatever cannot be shown leaves an empty picture; the reason stands in the panel and in the
    // status bar.
    bool draws = true;
    try {
        ShowResults(err, options, failures);
    } catch (const std::exception& e) {
        draws = false;
        failures << FailureText(e);
        PrepareCanvas();
        if (options.ShowSidePannel)
            FillMemo(failures);
        host.SetStatusText(spDrawTime, FormatConst(str_NelzeVykreslit, failures.back()));
    }
    host.SetStatusText(spMemory, MemoryText());
    ReportFailures(solves, draws, failures);
    // Whatever changed the truss, the selection keeps only what is still there.
    Selection->Prune(*soustava);
    emit Refreshed();
}

void TTrussForm::ShowResults(std::uint8_t err, const TTrussDisplayOptions& options,
                             const QStringList& failures) {
    if (TFormMatrix* matrix = host.MatrixWindow()) {
        if (options.ZobrazMatici) {
            QStringList lines;
            soustava->DescribeEquations(lines);
            matrix->ShowListing(lines);
            matrix->setVisible(true);
        } else {
            matrix->setVisible(false);
        }
    }

    const TEquationErrOverride solved(err);
    if (options.ShowSidePannel) {
        if (!Panel4->isVisible()) {
            Panel4->setVisible(true);
            layout()->activate();
        }
        FillPanel(err);
        if (!failures.isEmpty())
            FillMemo(failures);
    } else if (Panel4->isVisible()) {
        Panel4->setVisible(false);
        layout()->activate();
    }

    setWindowTitle(FileNameWithoutExt(soustava->FileName));
    DrawPicture(options, err);
}

QSize TTrussForm::CanvasSize() const {
    return {std::max(1, ScrollBox->width() - PictureMargin),
            std::max(1, ScrollBox->height() - PictureMargin)};
}

void TTrussForm::DrawPicture(const TTrussDisplayOptions& options, std::uint8_t err) {
    const QSize size = CanvasSize();
    QImage picture(size, QImage::Format_RGB32);
    QPainter canvas(&picture);
    const double time =
        RenderTruss(canvas, view.Mapping(), RenderOptionsOf(options, err, host.GridStep()),
                    *soustava, ImageListDrawPodpery, size);
    canvas.end();
    Image->SetPicture(std::move(picture));
    host.SetStatusText(spDrawTime, TimeText(str_CasNaVykresleni, time));
}

void TTrussForm::RedrawPicture() {
    try {
        const TEquationErrOverride solved(solveErr);
        DrawPicture(host.DisplayOptions(), solveErr);
    } catch (const std::exception& e) {
        PrepareCanvas();
        host.SetStatusText(spDrawTime, FormatConst(str_NelzeVykreslit, FailureText(e)));
    }
    // A bar being drawn keeps its rubber band, so that the next mouse move erases it.
    if (Dragging)
        DrawRubberBand(StartPoint, EndPoint, QPainter::RasterOp_NotSourceXorDestination);
    ShowZoom();
}

void TTrussForm::FillPanel(std::uint8_t err) {
    const TPrutovaSoustava& t = *soustava;
    PocetPrutu->setText(QString::number(t.PrutCount()));
    PocetStycniku->setText(QString::number(t.StycnikCount()));
    PocetVazeb->setText(QString::number(t.ReactionCount()));
    PocetPusobicichSil->setText(QString::number(t.SilaCount()));
    StupStNeu->setText(QString::number(t.StaticIndeterminacy()));
    LabeledERR->setText(QString::number(err));
    if (err != 0) {
        LEMass1->setText(QStringLiteral("---"));
        LEMass2->setText(QStringLiteral("---"));
    } else {
        LEMass1->setText(FormatFixed(t.SumAbsSila(), 1));
        LEMass2->setText(FormatFixed(t.SumSqSila(), 1));
    }
    LEMetoda->setText(MethodName(lastAnalysis.Method));
    Memo1->clear();
    Memo1->setPlainText(MechanismLines() + t.Describe() + DescribeAnalysis(lastAnalysis));
}

QString TTrussForm::MechanismLines() const {
    if (!lastAnalysis.Mechanism)
        return {};
    return DescribeMechanism(*lastAnalysis.Mechanism) + QStringLiteral("\r\n\r\n");
}

QString TTrussForm::AnalysisStatusText() const {
    if (lastAnalysis.Mechanism)
        return DescribeMechanism(*lastAnalysis.Mechanism);
    if (deformationScale > 0)
        return FormatConst(str_MeritkoDeformace, ScaleText(deformationScale));
    return {};
}

void TTrussForm::ShowAnalysisShape(bool deformed) {
    deformationScale = 0;
    bool shown = false;
    if (lastAnalysis.Mechanism && !lastAnalysis.Mechanism->FirstMode.empty()) {
        const std::vector<TDisplacement>& mode = lastAnalysis.Mechanism->FirstMode;
        shape = DisplacedShape(*soustava, mode, DeformationScale(*soustava, mode), true,
                               MovingJointTolerance);
        shape.Colour = MechanismColour;
        shown = true;
    } else if (deformed && lastAnalysis.Displacements) {
        deformationScale = DeformationScale(*soustava, *lastAnalysis.Displacements);
        shape = DisplacedShape(*soustava, *lastAnalysis.Displacements, deformationScale, false, 0);
        shape.Colour = DeformedColour;
        shown = deformationScale > 0;
    }
    if (shown && shapeOverlay == 0)
        shapeOverlay = AddOverlay(
            [this](QPainter& p, const TViewTransform& v) { PaintDisplacedShape(p, v, shape); });
    else if (!shown && shapeOverlay != 0) {
        RemoveOverlay(shapeOverlay);
        shapeOverlay = 0;
    }
    UpdateOverlays();
}

void TTrussForm::FillMemo(const QStringList& failures) {
    QString text = failures.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n");
    try {
        text += MechanismLines() + soustava->Describe() + DescribeAnalysis(lastAnalysis);
    } catch (const std::exception&) {
        // The reasons above already say what went wrong; the description is only a help.
    }
    Memo1->clear();
    Memo1->setPlainText(text);
}

QString TTrussForm::FailureText(const std::exception& e) {
    return QString::fromUtf8(e.what());
}

void TTrussForm::ReportFailures(bool solves, bool draws, const QStringList& failures) {
    // One box when the truss stops solving or stops drawing, not one for every refresh while it
    // stays so (a resize, a toggled option, the next edit).
    const bool news = (!solves && solvedBefore) || (!draws && drawnBefore);
    solvedBefore = solves;
    drawnBefore = draws;
    if (news)
        WarnOfFailure(failures);
}

void TTrussForm::WarnOfFailure(const QStringList& failures) {
    const QString name = soustava->FileName.isEmpty() ? str_BezNazvu : soustava->FileName;
    PostMessageDlg(msg_Chyba,
                   FormatConst(msg_SoustavaNezobrazena, name) + QStringLiteral("\n\n") +
                       failures.join(u'\n'),
                   mtWarning);
}

void TTrussForm::PrepareCanvas() {
    const QSize size = CanvasSize();
    QImage picture(size, QImage::Format_RGB32);
    QPainter canvas(&picture);
    RenderGround(canvas, view.Mapping(), RenderOptionsOf(host.DisplayOptions(), 0, host.GridStep()),
                 size);
    canvas.end();
    Image->SetPicture(std::move(picture));
}

void TTrussForm::ShowProbe(int sx, int sy) {
    const int step = static_cast<int>(std::lround(host.GridStep()));
    TProbeGrid table;
    try {
        if (soustava->ProbeStycnik(sx, sy, step, table) == -1 || Image->Picture().isNull())
            return;
    } catch (const std::exception& e) {
        // Asked for by a click, so told every time; the picture stays as it was.
        WarnOfFailure({FailureText(e)});
        return;
    }
    QPainter canvas(&Image->Picture());
    canvas.setFont(ProbeFont());
    canvas.setPen(Qt::black);
    const QFontMetrics metrics(canvas.font(), canvas.device());
    for (int i = -ProbeReach; i <= ProbeReach; ++i)
        for (int j = -ProbeReach; j <= ProbeReach; ++j) {
            const TProbeResult& cell =
                table[static_cast<size_t>(i + ProbeReach)][static_cast<size_t>(j + ProbeReach)];
            const QPoint p = view.ToScreenPoint(QPoint(sx + i * step, sy + j * step));
            const QString t1 = FormatFixed(cell.SumAbs, 0);
            const QColor back = cell.SumAbs == soustava->MinSumAbs   ? ProbeMinColour
                                : cell.SumAbs == soustava->MaxSumAbs ? ProbeMaxColour
                                                                     : QColor(Qt::white);
            const int w1 = metrics.horizontalAdvance(t1);
            const int h = metrics.height();
            DrawOpaqueText(canvas, p.x() - w1 / 2, p.y() - h / 2, t1, back);
            const QString t2 = FormatFixed(cell.SumSq, 0);
            const int w2 = metrics.horizontalAdvance(t2);
            DrawOpaqueText(canvas, p.x() - w2 / 2, p.y() + h - h / 2, t2, Qt::white);
        }
    canvas.end();
    Image->update();
}
