// Chart redraws: each chart's model and its paint routine at scale 1 and 2, and one Munsell
// Enter with all four chart windows open until every one has painted.
#include "charts/chartpaint.h"
#include "charts/colorcheckerwindow.h"
#include "charts/huepagewindow.h"
#include "charts/tolerancewindow.h"
#include "charts/valuepagewindow.h"
#include "munsell/table.h"
#include "workbench/workbench.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

using namespace zul;

std::shared_ptr<const RenotationTable> table() {
    static const auto t = loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    return t;
}

void ensureApplication() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_charts";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// Paints `picture` into an image of its size at `scale`, as the window repaints.
void paintLoop(benchmark::State& state, const ChartPicture& picture) {
    ensureApplication();
    const double scale = static_cast<double>(state.range(0));
    QImage image(pictureSize(picture, scale), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        renderPicture(p, picture, image.rect());
        p.end();
        benchmark::DoNotOptimize(image.bits());
    }
}

void BM_HuePageModel(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(fillbook("5R", *table(), {}));
}
BENCHMARK(BM_HuePageModel)->Unit(benchmark::kMicrosecond);

void BM_HuePageRedraw(benchmark::State& state) {
    paintLoop(state, huePagePicture(*fillbook("5R", *table(), {})));
}
BENCHMARK(BM_HuePageRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ValuePageModel(benchmark::State& state) {
    for (auto _ : state) {
        float v = 5;
        benchmark::DoNotOptimize(plotvalue(v, *table(), {}));
    }
}
BENCHMARK(BM_ValuePageModel)->Unit(benchmark::kMicrosecond);

void BM_ValuePageRedraw(benchmark::State& state) {
    float v = 5;
    paintLoop(state, valuePagePicture(plotvalue(v, *table(), {})));
}
BENCHMARK(BM_ValuePageRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One Munsell Enter with the hue page, value page, tolerance set and ColorChecker open: the
// chain, then the event loop until each window has recomputed and painted.
void BM_MunsellEnterAllChartsOpen(benchmark::State& state) {
    ensureApplication();
    QDir::setCurrent(ZUL_DATA_DIR); // ccnames.csv
    NonInteractiveDialogs dialogs;
    Workbench wb(table(), dialogs);
    wb.startUp();
    HuePageWindow hue(wb, {});
    ValuePageWindow value(wb, {});
    ToleranceWindow tolerance(wb, {});
    ColorCheckerWindow checker(wb, {});
    std::array<ChartWindow*, 4> windows{&hue, &value, &tolerance, &checker};
    for (ChartWindow* w : windows)
        w->show();
    for (Switch s : {Switch::HuePage, Switch::ValuePage, Switch::Tolerance, Switch::ColorChecker})
        wb.setSwitch(s, true);
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();

    const std::array<std::array<const char*, 3>, 4> colours = {
        {{"5R", "4", "10"}, {"7.5PB", "3", "8"}, {"2.5GY", "7", "6"}, {"10YR", "5", "4"}}};
    std::size_t n = 0;
    for (auto _ : state) {
        const auto& c = colours[n++ % colours.size()];
        wb.setText(Field::Hue, c[0]);
        wb.setText(Field::Value, c[1]);
        wb.setText(Field::Chroma, c[2]);
        std::array<int, 3> before{hue.paintCount(), value.paintCount(), tolerance.paintCount()};
        wb.muncie();
        // The ColorChecker does not change with the colour; the other three must repaint.
        for (int guard = 0; guard < 1000; ++guard) {
            QApplication::processEvents();
            if (hue.paintCount() > before[0] && value.paintCount() > before[1] &&
                tolerance.paintCount() > before[2])
                break;
        }
    }
    if (!dialogs.messages().isEmpty()) state.SkipWithError("a colour failed to convert");
}
BENCHMARK(BM_MunsellEnterAllChartsOpen)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

void BM_ToleranceModel(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(zul::MakeCTol({50, 40, 20}, {5, 5, 5}, *table(), {}));
}
BENCHMARK(BM_ToleranceModel)->Unit(benchmark::kMicrosecond);

} // namespace
