// Spectral colorimetry: one spectrum to X, Y, Z and CIELAB under all twenty conditions, with
// the weighting tables already made (what every spectrum after the first costs), and the
// making of one table.
#include "spectral/colorimetry.h"
#include "spectral/indices.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace zul::spectral;

namespace {

Spectrum sample(double start, double interval, double end) {
    Spectrum s{start, interval, {}};
    for (double nm = start; nm <= end; nm += interval)
        s.values.push_back(5 + 80 / (1 + std::exp(-(nm - 580) / 18)));
    return s;
}

// Argument: the interval, 10 (40 values from 360 nm) or 5 (81 values from 380 nm).
void BM_allConditions(benchmark::State& state) {
    const Spectrum s = state.range(0) == 10 ? sample(360, 10, 750) : sample(380, 5, 780);
    const auto conditions = allConditions();
    for (auto _ : state)
        for (Condition c : conditions)
            benchmark::DoNotOptimize(colourUnder(s, c));
}
BENCHMARK(BM_allConditions)->Arg(10)->Arg(5);

void BM_metamerismIndex(benchmark::State& state) {
    const Spectrum a = sample(360, 10, 750), b = sample(400, 10, 700);
    for (auto _ : state)
        benchmark::DoNotOptimize(metamerismIndex(a, b, {Illuminant::A, Observer::Deg10}));
}
BENCHMARK(BM_metamerismIndex);

// A new layout each iteration: the table is computed, not found.
void BM_weightTableMade(benchmark::State& state) {
    double start = 360;
    for (auto _ : state) {
        start += 1e-6;
        benchmark::DoNotOptimize(weightTable({Illuminant::F11, Observer::Deg2}, start, 10, 40));
    }
}
BENCHMARK(BM_weightTableMade)->Iterations(2000);

} // namespace
