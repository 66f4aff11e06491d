// Batch jobs in-process on generated records (StringSink, both cores), and the Munsell table.
#include "batch/maketable.h"
#include "batch/runner.h"
#include "munsell/table.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

std::shared_ptr<const zul::RenotationTable> table() {
    static const auto t = zul::loadRenotationTable(std::string(ZUL_DATA_DIR) + "/Muncie.dat");
    return t;
}

zul::Workbench::Options startOptions() {
    zul::NonInteractiveDialogs d;
    zul::Workbench wb(table(), d);
    wb.startUp();
    return wb.options();
}

// Records of the job's input, colours inside the renotation data, fixed seed.
std::string input(const zul::batch::Job& job, int records) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(0, 1);
    const char* families[] = {"R", "YR", "Y", "GY", "G", "BG", "B", "PB", "P", "RP"};
    std::string text;
    char line[1024];
    for (int i = 0; i < records; ++i) {
        const std::string hue = std::to_string(static_cast<int>(1 + u(rng) * 9)) +
                                families[static_cast<int>(u(rng) * 10)];
        const double v = 2 + u(rng) * 6, c = u(rng) * 6;
        switch (job.id) {
        case zul::batch::JobId::Xyz:
            std::snprintf(line, sizeof line, "s%d,%.2f,%.2f,%.2f\n", i, 1 + u(rng) * 90,
                          1 + u(rng) * 99, 1 + u(rng) * 100);
            break;
        case zul::batch::JobId::Lab:
            std::snprintf(line, sizeof line, "%.2f,%.2f,%.2f\n", 20 + u(rng) * 70, u(rng) * 60 - 30,
                          u(rng) * 60 - 30);
            break;
        case zul::batch::JobId::Munsell:
            std::snprintf(line, sizeof line, "%s,%.1f,%.1f\n", hue.c_str(), v, c);
            break;
        case zul::batch::JobId::Steps:
            std::snprintf(line, sizeof line, "%s\t%.1f\t%.1f\n", hue.c_str(), v, c);
            break;
        case zul::batch::JobId::Checker:
            std::snprintf(line, sizeof line, "%d,patch,%s,%.1f,%.1f\n", i, hue.c_str(), v, c);
            break;
        case zul::batch::JobId::Chart:
            std::snprintf(line, sizeof line, "n%d,%d,g,%s,%.1f,%.1f\n", i, i, hue.c_str(), v, c);
            break;
        case zul::batch::JobId::Spectral: {
            int n = std::snprintf(line, sizeof line, "s%d,a,b", i);
            const double base = 5 + u(rng) * 60, slope = u(rng) * 0.8 - 0.4;
            for (int k = 0; k < 40; ++k)
                n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ",%.2f",
                                   base + slope * k);
            std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ",note\n");
            break;
        }
        }
        text += line;
    }
    // Line 1 of the jobs that take a heading there.
    if (job.firstLine == zul::batch::FirstLine::Heading) text = "heading\n" + text;
    return text;
}

void BM_BatchJob(benchmark::State& state, const char* name) {
    const zul::batch::Job& job = *zul::batch::jobNamed(name);
    constexpr int kRecords = 20000;
    const std::string text = input(job, kRecords);
    zul::batch::RunSettings settings;
    settings.options = startOptions();
    settings.workers = 2;
    for (auto _ : state) {
        std::size_t pos = 0;
        const zul::ChunkReader read = [&](char* b, std::size_t n) {
            n = std::min(n, text.size() - pos);
            std::memcpy(b, text.data() + pos, n);
            pos += n;
            return n;
        };
        zul::batch::StringSink out, palette;
        const auto report =
            zul::batch::runBatchStream(job, table(), read, &out, &palette, nullptr, settings);
        benchmark::DoNotOptimize(report.converted);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK_CAPTURE(BM_BatchJob, munsell, "munsell")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BatchJob, steps, "steps")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BatchJob, checker, "checker")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BatchJob, chart, "chart")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BatchJob, lab, "lab")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BatchJob, xyz, "xyz")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BatchJob, spectral, "spectral")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MakeTable(benchmark::State& state) {
    const zul::Workbench::Options options = startOptions();
    for (auto _ : state)
        benchmark::DoNotOptimize(zul::batch::makeTable(*table(), options));
}
BENCHMARK(BM_MakeTable)->Unit(benchmark::kMillisecond);

} // namespace
