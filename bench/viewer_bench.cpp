// The palette viewer: loading a palette to a ready table and list (two workers), drawing one
// frame, and finding the dot under a press.
#include "munsell/table.h"
#include "viewer/paletteloader.h"
#include "viewer/pointlist.h"
#include "viewer/projection.h"
#include "viewer/renderer.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

using namespace zul;

std::shared_ptr<const RenotationTable> table() {
    static const auto t = loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    return t;
}

// `count` records as "Save to Palette" writes them, spread over the hue circle, values 2..8,
// chromas 0..6 (all within the renotation data).
const std::string& palette(int count) {
    static std::map<int, std::string> made;
    std::string& out = made[count];
    if (!out.empty()) return out;
    static const char* const families[] = {"R", "YR", "Y", "GY", "G", "BG", "B", "PB", "P", "RP"};
    for (int i = 0; i < count; ++i) {
        out += "\"12-07-2026\",\"10:00:00\",\"S" + std::to_string(i + 1) + "\",\"" +
               std::to_string(1 + i % 10) + families[(i / 10) % 10] + "\",\"" +
               std::to_string(2 + i % 7) + "\",\"" + std::to_string((i * 3) % 7) +
               "\",\"19.77\",\"19.77\",\"23.30\",\"51.58\",\"0\",\"0\",.2,.2,.2,\"124\",\"124\","
               "\"124\",\"0\",\"0\",\"0\",\"51\"\r\n";
    }
    return out;
}

PaletteLoadResult load(const std::string& text, std::size_t limit) {
    NonInteractiveDialogs dialogs;
    static Workbench* main = [] {
        static NonInteractiveDialogs d;
        auto* wb = new Workbench(table(), d);
        wb->startUp();
        return wb;
    }();
    PaletteLoadRequest request;
    request.table = table();
    request.options = main->options();
    request.limit = limit;
    request.workers = 2;
    std::size_t pos = 0;
    const ChunkReader read = [&](char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, text.size() - pos);
        text.copy(buffer, n, pos);
        pos += n;
        return n;
    };
    return loadPalette(read, request);
}

void BM_LoadPalette(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const std::string& text = palette(n);
    PointList list;
    for (auto _ : state) {
        PaletteLoadResult r = load(text, static_cast<std::size_t>(n));
        list.setTable(std::make_shared<const PointTable>(std::move(r.points)));
        benchmark::DoNotOptimize(list.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LoadPalette)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

const PointTable& points(int n) {
    static std::map<int, PointTable> made;
    PointTable& t = made[n];
    if (t.empty()) t = load(palette(n), static_cast<std::size_t>(n)).points;
    return t;
}

void BM_RenderFrame(benchmark::State& state) {
    const PointTable& t = points(static_cast<int>(state.range(0)));
    QImage image(800, 800, QImage::Format_RGB32);
    RenderOptions o;
    o.selected = 5;
    int rotation = 0;
    for (auto _ : state) {
        ViewBars bars;
        bars.rotation = rotation = rotation > 179 ? -180 : rotation + 1;
        renderView(image, t, viewFrom(bars), o);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderFrame)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_HitTest(benchmark::State& state) {
    const PointTable& t = points(static_cast<int>(state.range(0)));
    const View v = viewFrom(ViewBars{});
    float x = -10;
    for (auto _ : state) {
        x = x > 10 ? -10 : x + 0.37f;
        benchmark::DoNotOptimize(hitTest(t, v, x, 1.5f));
    }
}
BENCHMARK(BM_HitTest)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the list and the numbers
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
