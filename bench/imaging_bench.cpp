// Palettes from a 12-megapixel picture and single samples, the way the picture window runs them.
#include "imaging/blockaverage.h"
#include "imaging/palettebuilder.h"
#include "imaging/picture.h"
#include "munsell/table.h"
#include "workbench/workbench.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Image plug-ins are found through the application.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "bench_imaging";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

std::shared_ptr<const zul::RenotationTable> table() {
    static const auto t = zul::loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    return t;
}

// A photograph-like 4000 x 3000 picture: smooth gradients with a little texture.
const QImage& twelveMegapixels() {
    static const QImage image = [] {
        QImage im(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < im.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(im.scanLine(y));
            for (int x = 0; x < im.width(); ++x)
                row[x] = qRgb(x * 255 / 3999, y * 255 / 2999, ((x / 7 + y / 5) * 37) % 200 + 30);
        }
        return im;
    }();
    return image;
}

// The main window's workbench, alive while the picture window builds palettes, as it is there:
// its table's cell index is then made once, not again for each build's workers.
zul::Workbench& mainWorkbench() {
    static zul::NonInteractiveDialogs dialogs;
    static auto* wb = new zul::Workbench(table(), dialogs);
    return *wb;
}

zul::PaletteBuildJob job(const zul::Picture& picture, const QString& file, int workers) {
    zul::Workbench& wb = mainWorkbench();
    wb.startUp();
    zul::PaletteBuildJob j;
    j.picture = picture.view();
    j.n = 35;
    j.fileName = file;
    j.table = table();
    j.options = wb.options();
    j.workers = workers;
    return j;
}

// 114 x 85 = 9,690 blocks of 35 x 35 pixels, from pixels in memory to the renamed file.
void paletteFromPicture12MP(benchmark::State& state, bool reuseRecords, bool tableInUse = true) {
    ensureApplication();
    QTemporaryDir dir;
    const zul::Picture picture = zul::preparePicture(twelveMegapixels());
    zul::PaletteBuildJob j = job(picture, dir.filePath("P.CSV"), static_cast<int>(state.range(0)));
    j.reuseRecords = reuseRecords;
    // A table of its own that no workbench holds, as `zul palette-from-picture` has it: each
    // build's workers make its cell index again.
    static const auto ownTable =
        zul::loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    if (!tableInUse) j.table = ownTable;
    std::int64_t reused = 0;
    for (auto _ : state) {
        const zul::PaletteBuildResult r = zul::buildPalette(j);
        if (!r.ok() || r.written != 9690) state.SkipWithError("the palette was not built");
        reused = r.reused;
    }
    state.counters["blocks"] = 9690;
    state.counters["reused"] = static_cast<double>(reused);
}
void BM_PaletteFromPicture12MP(benchmark::State& state) {
    paletteFromPicture12MP(state, true);
}
// Argument: worker threads. The CPU column counts every thread of the process, which is what an
// idle machine would take on one core.
BENCHMARK(BM_PaletteFromPicture12MP)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
// The same on a table no workbench holds: the cell index made once per build, as on the command
// line.
void BM_PaletteFromPicture12MPIndexMade(benchmark::State& state) {
    paletteFromPicture12MP(state, true, false);
}
BENCHMARK(BM_PaletteFromPicture12MPIndexMade)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
// The same with every block through the chain (every average of this picture is a colour of its
// own, so the workers' reuse of records has nothing to find here; this shows what it costs).
void BM_PaletteFromPicture12MPNoReuse(benchmark::State& state) {
    paletteFromPicture12MP(state, false);
}
BENCHMARK(BM_PaletteFromPicture12MPNoReuse)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The shipped photograph (600 x 400) cut at granularities 1, 3, 10 and 35, with and without the
// workers' reuse of colours met before: the "reused" counter is how many records came from it.
void BM_PaletteFromShippedPicture(benchmark::State& state) {
    ensureApplication();
    QTemporaryDir dir;
    const zul::PictureLoad loaded = zul::loadPicture(QString(ZUL_DATA_DIR) + "/TestImage.jpg");
    zul::PaletteBuildJob j = job(loaded.picture, dir.filePath("P.CSV"), 2);
    j.n = static_cast<int>(state.range(0));
    j.reuseRecords = state.range(1) != 0;
    zul::PaletteBuildResult r;
    for (auto _ : state) {
        r = zul::buildPalette(j);
        if (!r.ok() || r.written == 0) state.SkipWithError("the palette was not built");
    }
    state.counters["blocks"] = static_cast<double>(r.written + r.failed);
    state.counters["reused"] = static_cast<double>(r.reused);
}
BENCHMARK(BM_PaletteFromShippedPicture)
    ->ArgsProduct({{1, 3, 10, 35}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The same from a JPEG file: decoding, preparation and the palette.
void BM_PaletteFromJpeg12MP(benchmark::State& state) {
    ensureApplication();
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("twelve.jpg");
    if (!twelveMegapixels().save(jpeg, "JPEG", 90)) {
        state.SkipWithError("no JPEG writer");
        return;
    }
    for (auto _ : state) {
        const zul::PictureLoad loaded = zul::loadPicture(jpeg);
        const zul::PaletteBuildResult r = zul::buildPalette(
            job(loaded.picture, dir.filePath("P.CSV"), static_cast<int>(state.range(0))));
        if (!r.ok() || r.written != 9690) state.SkipWithError("the palette was not built");
    }
}
BENCHMARK(BM_PaletteFromJpeg12MP)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The block sums alone: every block of the 12 MP picture at n = 35, in batches of four columns as
// a palette's workers take them, one thread.
void BM_SumGridBlocks12MP(benchmark::State& state) {
    const zul::Picture picture = zul::preparePicture(twelveMegapixels());
    const zul::PaletteGrid grid = zul::paletteGrid(4000, 3000, 35);
    const std::int64_t batch = 4 * grid.rows;
    std::vector<zul::BlockSums> sums(static_cast<std::size_t>(batch));
    for (auto _ : state) {
        for (std::int64_t first = 0; first < grid.blocks(); first += batch) {
            zul::sumGridBlocks(picture.view(), grid, first, std::min(batch, grid.blocks() - first),
                               sums.data());
            benchmark::DoNotOptimize(sums.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * 4000 * 2975 * 4);
}
BENCHMARK(BM_SumGridBlocks12MP)->Unit(benchmark::kMillisecond);

// One press on the picture: the 9 x 9 average, the RGB entry chain, the notation read back.
void BM_SampleBlock81(benchmark::State& state) {
    const zul::Picture picture = zul::preparePicture(twelveMegapixels());
    zul::NonInteractiveDialogs dialogs;
    zul::Workbench wb(table(), dialogs);
    wb.startUp();
    int x = 100;
    for (auto _ : state) {
        x = (x + 997) % 3900;
        const zul::Rgb8 c = *zul::sampleAverage(picture.view(), x, 1500, 4);
        wb.clearEntries();
        wb.setText(zul::Field::R, QString::number(c.r));
        wb.setText(zul::Field::G, QString::number(c.g));
        wb.setText(zul::Field::Bl, QString::number(c.b));
        benchmark::DoNotOptimize(wb.rgbChain());
        benchmark::DoNotOptimize(wb.text(zul::Field::Hue).size());
    }
    if (!dialogs.messages().isEmpty()) state.SkipWithError("a sample failed to convert");
}
BENCHMARK(BM_SampleBlock81)->Unit(benchmark::kMicrosecond);

} // namespace
