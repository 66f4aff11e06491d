#pragma once
// The ordered parallel pipeline that long work runs on (converting files, loading palettes,
// building palettes from pictures). A reader thread fills batches, workers process whole
// batches, each with state of its own (a workbench on the shared read-only table, say), and the
// calling thread receives the batches in input order. A fixed set of batches circulates, so
// memory does not grow with the input.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zul {

// Counters another thread (a progress display) may read at any time.
struct PipelineProgress {
    std::atomic<std::int64_t> items{0}; // items handed to the writer
    std::atomic<std::int64_t> bytes{0}; // input bytes of those items
};

struct PipelineConfig {
    int workers = 1;
    // Batches in circulation; 0 takes 2 x workers + 2, enough to keep every worker busy while
    // finished batches are written.
    std::size_t batchesInFlight = 0;
    // Set from any thread: no batch is read, processed or written after the one under way.
    const std::atomic<bool>* cancel = nullptr;
    PipelineProgress* progress = nullptr;
};

struct PipelineResult {
    std::int64_t items = 0; // items handed to the writer
    std::int64_t bytes = 0;
    bool cancelled = false; // the cancel flag stopped it
    bool writerStopped = false;
    std::string error; // why the reader or a worker failed; what came before it was written
};

// What the pipeline needs of a batch (`Batch` below): `clear()`, `itemCount()` and
// `byteCount()`, both std::int64_t or convertible.
template <class Batch> struct PipelineStages {
    // Reader thread: fills a cleared batch. False at the end of the input (the batch may still
    // hold the last items). Throws std::exception when the input cannot be read.
    std::function<bool(Batch&)> read;
    // Called once in each worker thread; the function it returns processes one batch and owns
    // that worker's state. Exceptions stop the pipeline with an error.
    std::function<std::function<void(Batch&)>()> makeWorker;
    // The calling thread, each batch in input order; false stops the pipeline.
    std::function<bool(Batch&)> write;
};

namespace detail {

// The thread work behind runPipeline, on batch slots 0..n-1.
struct PipelineSlots {
    std::function<void(std::size_t)> clear;
    std::function<bool(std::size_t)> read;
    std::function<std::function<void(std::size_t)>()> makeWorker;
    std::function<bool(std::size_t)> write;
    std::function<std::int64_t(std::size_t)> items;
    std::function<std::int64_t(std::size_t)> bytes;
};
PipelineResult runSlots(std::size_t slots, const PipelineSlots& s, const PipelineConfig& config);

} // namespace detail

template <class Batch>
PipelineResult runPipeline(const PipelineStages<Batch>& stages, const PipelineConfig& config) {
    const int workers = config.workers < 1 ? 1 : config.workers;
    const std::size_t count =
        config.batchesInFlight ? config.batchesInFlight : 2 * static_cast<std::size_t>(workers) + 2;
    std::vector<std::unique_ptr<Batch>> batches;
    for (std::size_t i = 0; i < count; ++i)
        batches.push_back(std::make_unique<Batch>());
    detail::PipelineSlots s;
    s.clear = [&](std::size_t i) { batches[i]->clear(); };
    s.read = [&](std::size_t i) { return stages.read(*batches[i]); };
    s.makeWorker = [&]() -> std::function<void(std::size_t)> {
        std::function<void(Batch&)> work = stages.makeWorker();
        return [&batches, work = std::move(work)](std::size_t i) { work(*batches[i]); };
    };
    s.write = [&](std::size_t i) { return stages.write(*batches[i]); };
    s.items = [&](std::size_t i) { return static_cast<std::int64_t>(batches[i]->itemCount()); };
    s.bytes = [&](std::size_t i) { return static_cast<std::int64_t>(batches[i]->byteCount()); };
    PipelineConfig c = config;
    c.workers = workers;
    return detail::runSlots(count, s, c);
}

} // namespace zul
