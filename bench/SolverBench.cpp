// SolveEquations against the literal algorithm on the 200 unknowns of a 100-joint Pratt bridge.
#include "TrussBuilders.h"
#include "UMatrix.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

// The assembled equations of the bridge, with its joints numbered in the given order.
std::unique_ptr<TEquationStore> bridgeEquations(TJointOrder order) {
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    BuildPratt(t, TBridgeShape{49, 20, 40, 40, 400, 5, order});
    t.Solve();
    return std::make_unique<TEquationStore>(EquationStore);
}

bool sameSolution(const TEquationStore& s) {
    auto fast = std::make_unique<TExtVector>(), literal = std::make_unique<TExtVector>();
    std::uint8_t e1 = 0, e2 = 0;
    SolveEquations(s.N, s.A, s.B, *fast, e1);
    SolveEquationsLiteral(s.N, s.A, s.B, *literal, e2);
    for (int i = 1; i <= s.N; ++i)
        if (std::memcmp(&(*fast)[i], &(*literal)[i], 10) != 0)
            return false;
    return e1 == e2 && e1 == 0 && s.N == 200;
}

template <auto Solver> void BM_Solver(benchmark::State& state) {
    const auto s = bridgeEquations(static_cast<TJointOrder>(state.range(0)));
    if (!sameSolution(*s)) {
        state.SkipWithError("the fast path and the literal algorithm disagree");
        return;
    }
    auto x = std::make_unique<TExtVector>();
    std::uint8_t err = 0;
    for (auto _ : state) {
        Solver(s->N, s->A, s->B, *x, err);
        benchmark::DoNotOptimize(x->Items[0]);
    }
}

void BM_SolveEquationsFast(benchmark::State& state) {
    BM_Solver<&SolveEquations>(state);
}
void BM_SolveEquationsLiteral(benchmark::State& state) {
    BM_Solver<&SolveEquationsLiteral>(state);
}

BENCHMARK(BM_SolveEquationsFast)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("chord_order")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolveEquationsLiteral)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("chord_order")
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
