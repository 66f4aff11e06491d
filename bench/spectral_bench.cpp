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

void BM_allConditions(benchmark::State& state) {
    const Spectrum s = sample(360, 10, 750);
    const auto conditions = allConditions();
    for (auto _ : state)
        for (Condition c : conditions)
            benchmark::DoNotOptimize(colourUnder(s, c));
}
BENCHMARK(BM_allConditions);

void BM_allConditions5nm(benchmark::State& state) {
    const Spectrum s = sample(380, 5, 780);
    const auto conditions = allConditions();
    for (auto _ : state)
        for (Condition c : conditions)
            benchmark::DoNotOptimize(colourUnder(s, c));
}
BENCHMARK(BM_allConditions5nm);

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
