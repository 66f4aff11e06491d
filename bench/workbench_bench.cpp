// One Munsell entry chain through the workbench without a window: the palette viewer runs one
// per record, 10,000 per load.
#include "munsell/table.h"
#include "workbench/workbench.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

using Entry = std::array<const char*, 3>;

// Types each entry into `fields` in turn and runs `chain`, on a workbench in its start-up state.
template <std::size_t N>
void runEntries(benchmark::State& state, const std::array<zul::Field, 3>& fields,
                const std::array<Entry, N>& entries, bool (zul::Workbench::*chain)()) {
    const auto table = zul::loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    zul::NonInteractiveDialogs dialogs;
    zul::Workbench wb(table, dialogs);
    wb.startUp();
    std::size_t i = 0;
    for (auto _ : state) {
        const Entry& e = entries[i++ % N];
        for (std::size_t k = 0; k < 3; ++k)
            wb.setText(fields[k], e[k]);
        benchmark::DoNotOptimize((wb.*chain)());
    }
    if (!dialogs.messages().isEmpty()) state.SkipWithError("a colour failed to convert");
}

void BM_MunsellEntryChain(benchmark::State& state) {
    // Dark, light, saturated and neutral colours spread over the solid.
    const std::array<Entry, 8> colours = {{{"6.4Y", "8.6", "10.4"},
                                           {"5R", "4", "14"},
                                           {"7.5PB", "2", "10"},
                                           {"2.5G", "6", "8"},
                                           {"10RP", "9", "2"},
                                           {"5BG", "1", "4"},
                                           {"3YR", "5.5", "0"},
                                           {"8.2P", "3.3", "12.6"}}};
    runEntries(state, {zul::Field::Hue, zul::Field::Value, zul::Field::Chroma}, colours,
               &zul::Workbench::muncie);
}
BENCHMARK(BM_MunsellEntryChain);

void BM_XyzEntryChain(benchmark::State& state) {
    const std::array<Entry, 4> colours = {{{"41.24", "21.26", "1.93"},
                                           {"18", "20", "22"},
                                           {"3.1", "2.5", "9.8"},
                                           {"60", "70", "20"}}};
    runEntries(state, {zul::Field::X, zul::Field::Y, zul::Field::Z}, colours,
               &zul::Workbench::xyzChain);
}
BENCHMARK(BM_XyzEntryChain);

} // namespace
