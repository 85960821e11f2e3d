// Benchmarks of a truss window showing the 100-joint Pratt bridge, on the offscreen platform:
// the full refresh, one step of a move drag, and one step of a zoom and of a pan.
#include "FTrussForm.h"
#include "TrussBuilders.h"
#include "TrussMainWin.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// 49 panels of 20 pixels: 100 joints from x = 40 to 1020, chords at y = 360 and 400.
TBridgeShape HundredJointPratt() {
    return TBridgeShape{49, 20, 40, 40, 400, 5, TJointOrder::PanelByPanel};
}

// A frame window with one truss window large enough to show the whole bridge.
struct TBridgeWindow {
    explicit TBridgeWindow(QSize window = QSize(1300, 600)) {
        main.resize(1400, 900);
        main.show();
        if (!main.aShowSidePannel->isChecked())
            main.aShowSidePannel->trigger();
        if (!main.aShowPrutForce->isChecked())
            main.aShowPrutForce->trigger();
        auto truss = std::make_unique<TPrutovaSoustava>();
        BuildPratt(*truss, HundredJointPratt());
        form = main.aNewTrussWindowExecute();
        // Replace the new window's empty truss by the bridge through the file format.
        QStringList lines;
        truss->SaveToStrings(lines);
        form->Soustava().LoadFromStrings(lines);
        form->parentWidget()->resize(window);
        QApplication::processEvents();
        form->RefreshTruss();
    }
    TMainForm main;
    TTrussForm* form = nullptr;
};

void BM_RefreshTruss(benchmark::State& state) {
    TBridgeWindow w;
    if (w.form->Soustava().StycnikCount() != 100 || w.form->Image->width() < 1030)
        state.SkipWithError("the bridge window is not set up");
    for (auto _ : state)
        w.form->RefreshTruss();
    if (w.form->LabeledERR->text() != QStringLiteral("0"))
        state.SkipWithError("the bridge did not solve");
}
BENCHMARK(BM_RefreshTruss)->Unit(benchmark::kMillisecond);

// One mouse move of a drag with the move tool: a top-chord joint goes one grid step up or back
// down, the truss is solved and redrawn, and the drawing is painted.
void BM_MoveDragStep(benchmark::State& state) {
    TBridgeWindow w;
    w.main.SetDrawingTool(w.main.btDtMove);
    const int x = 540; // a top-chord joint near mid-span
    w.form->FormMouseDown(Qt::LeftButton, x, 360);
    int step = 0;
    for (auto _ : state) {
        w.form->FormMouseMove(x, step++ % 2 == 0 ? 340 : 360);
        w.form->Image->repaint();
    }
    w.form->FormMouseUp(Qt::LeftButton, x, 360);
    if (w.form->Soustava().StycnikCount() != 100)
        state.SkipWithError("the drag merged joints");
}
BENCHMARK(BM_MoveDragStep)->Unit(benchmark::kMillisecond);

// One step of Ctrl+wheel about a point of the bridge in a 1200 x 800 window, in and out by
// turns: the picture is drawn again and painted, the truss is not solved.
void BM_ZoomStep(benchmark::State& state) {
    TBridgeWindow w(QSize(1200, 800));
    w.form->ZoomToFit();
    const QPointF anchor(w.form->Image->width() / 2.0, w.form->Image->height() / 2.0);
    int step = 0;
    for (auto _ : state) {
        w.form->ZoomAt(anchor, step++ % 2 == 0 ? TViewTransform::StepFactor
                                               : 1 / TViewTransform::StepFactor);
        w.form->Image->repaint();
    }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond);

// One step of a pan (the wheel, or a drag with the space bar held) over the fitted bridge.
void BM_PanStep(benchmark::State& state) {
    TBridgeWindow w(QSize(1200, 800));
    w.form->ZoomToFit();
    int step = 0;
    for (auto _ : state) {
        w.form->PanBy(QPointF(step++ % 2 == 0 ? 60 : -60, 0));
        w.form->Image->repaint();
    }
}
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
