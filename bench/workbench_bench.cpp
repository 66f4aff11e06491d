// One Munsell entry chain through the workbench without a window: the palette viewer runs one
// per record, 10,000 per load.
#include "app/workbench.h"
#include "munsell/table.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

void BM_MunsellEntryChain(benchmark::State& state) {
    const auto table = zul::loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    zul::NonInteractiveDialogs dialogs;
    zul::Workbench wb(table, dialogs);
    wb.startUp();
    // Dark, light, saturated and neutral colours spread over the solid.
    const std::array<std::array<const char*, 3>, 8> colours = {{{"6.4Y", "8.6", "10.4"},
                                                                {"5R", "4", "14"},
                                                                {"7.5PB", "2", "10"},
                                                                {"2.5G", "6", "8"},
                                                                {"10RP", "9", "2"},
                                                                {"5BG", "1", "4"},
                                                                {"3YR", "5.5", "0"},
                                                                {"8.2P", "3.3", "12.6"}}};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& c = colours[i++ % colours.size()];
        wb.setText(zul::Field::Hue, c[0]);
        wb.setText(zul::Field::Value, c[1]);
        wb.setText(zul::Field::Chroma, c[2]);
        benchmark::DoNotOptimize(wb.muncie());
    }
    if (!dialogs.messages().isEmpty()) state.SkipWithError("a colour failed to convert");
}
BENCHMARK(BM_MunsellEntryChain);

void BM_XyzEntryChain(benchmark::State& state) {
    const auto table = zul::loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    zul::NonInteractiveDialogs dialogs;
    zul::Workbench wb(table, dialogs);
    wb.startUp();
    const std::array<std::array<const char*, 3>, 4> colours = {{{"41.24", "21.26", "1.93"},
                                                                {"18", "20", "22"},
                                                                {"3.1", "2.5", "9.8"},
                                                                {"60", "70", "20"}}};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& c = colours[i++ % colours.size()];
        wb.setText(zul::Field::X, c[0]);
        wb.setText(zul::Field::Y, c[1]);
        wb.setText(zul::Field::Z, c[2]);
        benchmark::DoNotOptimize(wb.xyzChain());
    }
    if (!dialogs.messages().isEmpty()) state.SkipWithError("a colour failed to convert");
}
BENCHMARK(BM_XyzEntryChain);

} // namespace
