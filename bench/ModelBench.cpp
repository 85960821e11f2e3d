// Benchmarks of the model on the 100-joint Pratt bridge: solve, load, probe and draw.
#include "TrussBuilders.h"
#include "TrussPicture.h"
#include "UMatrix.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

TBridgeShape hundredJointPratt(TJointOrder order) {
    return TBridgeShape{49, 20, 40, 40, 400, 5, order};
}

void buildBridge(TPrutovaSoustava& t, TJointOrder order = TJointOrder::PanelByPanel) {
    t.RecordSnapshots = false;
    BuildPratt(t, hundredJointPratt(order));
    t.RecordSnapshots = true;
}

void BM_Solve(benchmark::State& state) {
    TPrutovaSoustava t;
    buildBridge(t, static_cast<TJointOrder>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(t.Solve());
    if (EquationStore.Err != 0)
        state.SkipWithError("the bridge did not solve");
}
BENCHMARK(BM_Solve)->Arg(0)->Arg(1)->ArgName("chord_order")->Unit(benchmark::kMicrosecond);

void BM_LoadFromStrings(benchmark::State& state) {
    TPrutovaSoustava source;
    buildBridge(source);
    QStringList lines;
    source.SaveToStrings(lines);
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    for (auto _ : state) {
        t.LoadFromStrings(lines);
        benchmark::DoNotOptimize(t.StycnikCount());
    }
}
BENCHMARK(BM_LoadFromStrings)->Unit(benchmark::kMicrosecond);

void BM_ProbeStycnik(benchmark::State& state) {
    TPrutovaSoustava t;
    buildBridge(t);
    TProbeGrid grid;
    // A middle joint of the top chord.
    const int x = 40 + 25 * 20, y = 400 - 40;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.ProbeStycnik(x, y, 20, grid));
}
BENCHMARK(BM_ProbeStycnik)->Unit(benchmark::kMillisecond);

void BM_Draw(benchmark::State& state) {
    TPrutovaSoustava t;
    buildBridge(t);
    t.Solve();
    DisplayFlags = dfPrutName | dfPrutForce | dfStycNo;
    const TImageList supports = MakeSupportImages();
    QImage image(1200, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        benchmark::DoNotOptimize(t.Draw(p, supports));
    }
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
