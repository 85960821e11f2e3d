// Benchmarks of the analyses on the 100-joint bridge of examples/: the stiffness solve and the
// search for the mechanism of the bridge with one diagonal taken out.
#include "Analysis.h"
#include "Mechanisms.h"
#include "StiffnessSolver.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

void loadBridge(TPrutovaSoustava& t) {
    t.LoadFromFile(QStringLiteral(TRABEX_EXAMPLES "/pratt-bridge.trs"));
}

// A solver that keeps its symbolic analysis, as a window does between refreshes and drag steps.
void BM_StiffnessSolve(benchmark::State& state) {
    TPrutovaSoustava t;
    loadBridge(t);
    const TAnalysisModel model = AnalysisModelOf(t);
    TStiffnessSolver solver;
    for (auto _ : state)
        benchmark::DoNotOptimize(solver.Solve(model));
    if (!solver.Solve(model).Solved())
        state.SkipWithError("the bridge did not solve");
}
BENCHMARK(BM_StiffnessSolve)->Unit(benchmark::kMicrosecond);

// Everything from the truss: the model, the symbolic analysis and the factorisation.
void BM_StiffnessSolveFromScratch(benchmark::State& state) {
    TPrutovaSoustava t;
    loadBridge(t);
    for (auto _ : state)
        benchmark::DoNotOptimize(SolveStiffness(t));
}
BENCHMARK(BM_StiffnessSolveFromScratch)->Unit(benchmark::kMicrosecond);

// The bridge with one diagonal taken out; with state.range(0) = 1 its bars (and so its joints)
// in a shuffled order, as a truss drawn in no particular order has them.
void BM_FindMechanisms(benchmark::State& state) {
    TPrutovaSoustava t;
    loadBridge(t);
    if (state.range(0) == 1) {
        std::mt19937 random(14);
        std::shuffle(t.Pruty.begin(), t.Pruty.end(), random);
    }
    const auto diagonal = std::find_if(t.Pruty.begin(), t.Pruty.end(), [](const auto& p) {
        return p->Sa_X != p->Sb_X && p->Sa_Y != p->Sb_Y && std::min(p->Sa_X, p->Sb_X) > 500;
    });
    t.Pruty.erase(diagonal);
    t.MoveStycnik(QPoint(-1, -1), QPoint(-1, -1)); // rebuilds the joints
    const TAnalysisModel model = AnalysisModelOf(t);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindMechanisms(model));
    if (FindMechanisms(model).Modes != 1)
        state.SkipWithError("the cut bridge is not a mechanism of one mode");
}
BENCHMARK(BM_FindMechanisms)->Arg(0)->Arg(1)->ArgName("shuffled")->Unit(benchmark::kMicrosecond);

// The whole refresh of the analysis in the default setting with displacements: the joint
// equations, then the stiffness solve for the displacements.
void BM_AnalyseWithDisplacements(benchmark::State& state) {
    TPrutovaSoustava t;
    loadBridge(t);
    TStiffnessSolver solver;
    for (auto _ : state)
        benchmark::DoNotOptimize(Analyse(t, solver, {TSolveMethod::Auto, true}));
}
BENCHMARK(BM_AnalyseWithDisplacements)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
