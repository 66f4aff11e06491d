// Per-call cost of the colorimetry engine on fixed, representative inputs.
#include "colorimetry/lab.h"
#include "colorimetry/rgb.h"
#include "colorimetry/tristimulus.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

// A spread of colours: dark (linear branch), mid, saturated, near white.
constexpr std::array<zul::Xyz, 4> kSamples = {{
    {0.5f, 0.6f, 0.4f},
    {20.5f, 19.8f, 25.1f},
    {41.2f, 21.3f, 1.9f},
    {90.0f, 95.0f, 105.0f},
}};

void BM_xyzlab(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        zul::Xyz xyz = kSamples[i++ % kSamples.size()];
        benchmark::DoNotOptimize(zul::xyzlab(xyz, 0));
    }
}
BENCHMARK(BM_xyzlab);

void BM_labxyz(benchmark::State& state) {
    const zul::Lab lab{52.3f, 12.5f, -30.1f};
    for (auto _ : state) {
        benchmark::DoNotOptimize(lab);
        benchmark::DoNotOptimize(zul::labxyz(lab));
    }
}
BENCHMARK(BM_labxyz);

void BM_xyzrgb(benchmark::State& state) {
    const zul::RgbSettings settings;
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(zul::xyzrgb(kSamples[i++ % kSamples.size()], 0, settings));
}
BENCHMARK(BM_xyzrgb);

void BM_cmykrgb(benchmark::State& state) {
    const zul::RgbSettings settings;
    const zul::Cmyk cmyk{0.2f, 0.4f, 0.1f, 0.05f};
    for (auto _ : state) {
        benchmark::DoNotOptimize(cmyk);
        benchmark::DoNotOptimize(zul::cmykrgb(cmyk, 0, settings));
    }
}
BENCHMARK(BM_cmykrgb);

void BM_tris(benchmark::State& state) {
    zul::Reflectance r;
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = 5.0f + 2.0f * static_cast<float>(i);
    const zul::WeightingTable weights = zul::getweights();
    for (auto _ : state) {
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(zul::tris(r, weights));
    }
}
BENCHMARK(BM_tris);

} // namespace
