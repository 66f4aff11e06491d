// Munsell <-> CIE per colour, over a fixed set of colours spread through the solid.
#include "colorimetry/illuminant.h"
#include "munsell/forward.h"
#include "munsell/inverse.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace zul {
namespace {

struct Munsell {
    float hue, value, chroma;
};

const RenotationTable& table() {
    static const auto t = loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    return *t;
}

// Hues every 7.3 (off the grid), values 1 to 9.4, chromas 1 up to each hue's reach: dark, light,
// pale and saturated colours alike.
const std::vector<Munsell>& munsellSet() {
    static const std::vector<Munsell> set = [] {
        std::vector<Munsell> s;
        for (float hue = 1.3f; hue < 100; hue += 7.3f)
            for (float value = 1.0f; value < 9.5f; value += 1.2f)
                for (float chroma = 1.0f; chroma < 40; chroma += 3.7f) {
                    float v = value;
                    if (mun2xyz(hue, v, chroma, table(), {}).inReach) s.push_back({hue, v, chroma});
                }
        return s;
    }();
    return set;
}

// Illuminant C tristimulus values of the Munsell set, plus the display primaries and
// secondaries (the most saturated, several beyond the table's reach) and greys.
const std::vector<Xyz>& xyzSet() {
    static const std::vector<Xyz> set = [] {
        std::vector<Xyz> s;
        for (Munsell m : munsellSet()) {
            const CieColour c = mun2xyz(m.hue, m.value, m.chroma, table(), {});
            s.push_back({c.X, c.Y, c.Z});
        }
        const Xyz d65{95.047f, 100, 108.883f};
        const Xyz display[] = {{41.24f, 21.26f, 1.93f},   {35.76f, 71.52f, 11.92f},
                               {18.05f, 7.22f, 95.05f},   {77.00f, 92.78f, 13.85f},
                               {53.81f, 78.74f, 106.97f}, {59.29f, 28.48f, 96.98f},
                               {2.0f, 2.1f, 2.3f},        {40, 42, 46}};
        for (const Xyz& p : display) {
            Xyz c;
            xyzconv(p, d65, c, kIlluminants[0].white);
            s.push_back(c);
        }
        return s;
    }();
    return set;
}

void BM_mun2xyz(benchmark::State& state) {
    const auto& set = munsellSet();
    const Conditions cond{static_cast<int>(state.range(0)), false};
    std::size_t i = 0;
    for (auto _ : state) {
        const Munsell& m = set[i];
        float v = m.value;
        benchmark::DoNotOptimize(mun2xyz(m.hue, v, m.chroma, table(), cond));
        if (++i == set.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(set.size()) + " colours");
}
BENCHMARK(BM_mun2xyz)->Arg(0)->Arg(2);

template <class Engine>
void runInverse(benchmark::State& state, const std::vector<Xyz>& set, const Engine& engine) {
    std::size_t i = 0;
    for (auto _ : state) {
        float y = set[i].y;
        benchmark::DoNotOptimize(xyzmun(set[i].x, y, set[i].z, engine, false));
        if (++i == set.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(set.size()) + " colours");
}

void BM_xyzmun_plain(benchmark::State& state) {
    runInverse(state, xyzSet(), table());
}
BENCHMARK(BM_xyzmun_plain);

void BM_xyzmun_indexed(benchmark::State& state) {
    const CellIndex index(table());
    runInverse(state, xyzSet(), index);
}
BENCHMARK(BM_xyzmun_indexed);

// Only the display colours beyond the table's reach at a level (estimated outwards).
void BM_xyzmun_indexed_beyond(benchmark::State& state) {
    const CellIndex index(table());
    std::vector<Xyz> beyond;
    for (Xyz c : xyzSet()) {
        float y = c.y;
        if (xyzmun(c.x, y, c.z, index, false).isExtrapolated()) beyond.push_back(c);
    }
    runInverse(state, beyond, index);
}
BENCHMARK(BM_xyzmun_indexed_beyond);

void BM_CellIndex_build(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CellIndex(table()));
}
BENCHMARK(BM_CellIndex_build);

} // namespace
} // namespace zul
