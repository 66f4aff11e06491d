// The ordered pipeline: input order whatever the workers, bounded batches, cancel, failures.
#include "workbench/pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace zul::testing {
namespace {

struct NumberBatch {
    std::vector<int> in;
    std::vector<long> out;
    void clear() {
        in.clear();
        out.clear();
    }
    std::size_t itemCount() const { return in.size(); }
    std::int64_t byteCount() const { return static_cast<std::int64_t>(in.size()) * 4; }
};

// Items 0..n-1 in batches of `batch`; each worker squares; the writer collects.
struct SquareRun {
    int n = 10000;
    std::size_t batch = 3;
    int next = 0;
    std::vector<long> written;
    std::atomic<int> processed{0};
    std::atomic<int> workersMade{0};
    std::atomic<int> writtenCount{0}; // read by the reader thread

    PipelineStages<NumberBatch> stages() {
        PipelineStages<NumberBatch> s;
        s.read = [this](NumberBatch& b) {
            while (b.in.size() < batch && next < n)
                b.in.push_back(next++);
            return next < n;
        };
        s.makeWorker = [this]() -> std::function<void(NumberBatch&)> {
            ++workersMade;
            // Per-worker state: its own thread id, recorded once, never shared.
            const auto id = std::this_thread::get_id();
            return [this, id](NumberBatch& b) {
                EXPECT_EQ(id, std::this_thread::get_id());
                for (int v : b.in) {
                    b.out.push_back(static_cast<long>(v) * v);
                    // Uneven work so that workers finish out of order.
                    if (v % 97 == 0) std::this_thread::yield();
                }
                processed += static_cast<int>(b.in.size());
            };
        };
        s.write = [this](NumberBatch& b) {
            written.insert(written.end(), b.out.begin(), b.out.end());
            writtenCount += static_cast<int>(b.out.size());
            return true;
        };
        return s;
    }
};

TEST(Pipeline, GivesInputOrderWithAnyNumberOfWorkers) {
    for (int workers : {1, 2, 3}) {
        SquareRun run;
        PipelineProgress progress;
        PipelineConfig config;
        config.workers = workers;
        config.progress = &progress;
        const PipelineResult r = runPipeline(run.stages(), config);
        ASSERT_EQ(run.written.size(), 10000u) << workers << " workers";
        for (int i = 0; i < 10000; ++i)
            ASSERT_EQ(run.written[static_cast<std::size_t>(i)], static_cast<long>(i) * i)
                << "item " << i << " with " << workers << " workers";
        EXPECT_EQ(r.items, 10000);
        EXPECT_EQ(r.bytes, 40000);
        EXPECT_EQ(progress.items.load(), 10000);
        EXPECT_EQ(progress.bytes.load(), 40000);
        EXPECT_FALSE(r.cancelled);
        EXPECT_TRUE(r.error.empty());
        EXPECT_EQ(run.workersMade.load(), workers);
    }
}

TEST(Pipeline, HoldsOnlyTheBatchesInFlight) {
    // With two batches circulating the reader can be at most two batches ahead of the writer.
    SquareRun run;
    std::atomic<int> readCount{0};
    auto s = run.stages();
    const auto read = s.read;
    s.read = [&](NumberBatch& b) {
        const int ahead = run.next - run.writtenCount.load();
        EXPECT_LE(ahead, 2 * static_cast<int>(run.batch));
        ++readCount;
        return read(b);
    };
    PipelineConfig config;
    config.workers = 2;
    config.batchesInFlight = 2;
    runPipeline(s, config);
    EXPECT_EQ(run.written.size(), 10000u);
    EXPECT_GT(readCount.load(), 3000);
}

TEST(Pipeline, CancelStopsWithinOneBatchAndSaysHowFar) {
    for (int workers : {1, 3}) {
        SquareRun run;
        std::atomic<bool> cancel{false};
        auto s = run.stages();
        const auto write = s.write;
        s.write = [&](NumberBatch& b) {
            const bool more = write(b);
            if (run.written.size() >= 300) cancel = true; // the user presses Cancel
            return more;
        };
        PipelineConfig config;
        config.workers = workers;
        config.cancel = &cancel;
        const PipelineResult r = runPipeline(s, config);
        EXPECT_TRUE(r.cancelled);
        EXPECT_EQ(r.items, 300); // nothing written after the batch that saw the cancel
        EXPECT_EQ(run.written.size(), 300u);
        // Workers finish at most the batches already in circulation.
        const int inFlight = 2 * workers + 2;
        EXPECT_LE(run.processed.load(), 300 + inFlight * 3);
        EXPECT_LE(run.next, 300 + inFlight * 3);
    }
}

TEST(Pipeline, WriterCanStopTheRun) {
    SquareRun run;
    auto s = run.stages();
    int batches = 0;
    s.write = [&](NumberBatch& b) {
        if (++batches > 5) return false; // the output could not be written
        run.written.insert(run.written.end(), b.out.begin(), b.out.end());
        return true;
    };
    const PipelineResult r = runPipeline(s, PipelineConfig{2});
    EXPECT_TRUE(r.writerStopped);
    EXPECT_EQ(r.items, 15);
    EXPECT_EQ(run.written.size(), 15u);
}

TEST(Pipeline, FailuresEndTheRunAfterWhatCameBefore) {
    {
        SquareRun run;
        auto s = run.stages();
        const auto read = s.read;
        s.read = [&](NumberBatch& b) {
            if (run.next >= 30) throw std::runtime_error("disk gone");
            return read(b);
        };
        const PipelineResult r = runPipeline(s, PipelineConfig{2});
        EXPECT_EQ(r.error, "the input could not be read: disk gone");
        EXPECT_EQ(run.written.size(), 30u); // what was read before the fault still goes out
    }
    {
        SquareRun run;
        auto s = run.stages();
        const auto make = s.makeWorker;
        s.makeWorker = [&]() -> std::function<void(NumberBatch&)> {
            auto inner = make();
            return [inner](NumberBatch& b) {
                if (b.in.front() == 600) throw std::runtime_error("worker broke");
                inner(b);
            };
        };
        const PipelineResult r = runPipeline(s, PipelineConfig{3});
        EXPECT_EQ(r.error, "worker broke");
        EXPECT_EQ(run.written.size(), 600u); // every batch before the failed one, in order
    }
    {
        SquareRun run;
        auto s = run.stages();
        s.makeWorker = []() -> std::function<void(NumberBatch&)> {
            throw std::runtime_error("no table");
        };
        const PipelineResult r = runPipeline(s, PipelineConfig{2});
        EXPECT_EQ(r.error, "no table");
        EXPECT_TRUE(run.written.empty());
    }
}

} // namespace
} // namespace zul::testing
