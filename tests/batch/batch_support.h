#pragma once
// Running a batch job in memory, and the workbench the tests compare its lines with.
#include "batch/runner.h"
#include "workbench/workbench_fixture.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace zul::testing {

inline Workbench::Options startOptions() {
    NonInteractiveDialogs d;
    Workbench wb(sharedTable(), d);
    wb.startUp();
    return wb.options();
}

// A ChunkReader over `text`, in chunks of at most `chunk` bytes.
inline ChunkReader stringReader(const std::string& text, std::size_t chunk = 1 << 20) {
    auto pos = std::make_shared<std::size_t>(0);
    return [text, pos, chunk](char* buffer, std::size_t size) {
        const std::size_t n = std::min({size, chunk, text.size() - *pos});
        std::memcpy(buffer, text.data() + *pos, n);
        *pos += n;
        return n;
    };
}

struct JobRun {
    std::string out, palette, errors;
    batch::BatchReport report;
};

inline JobRun runJob(const char* code, const std::string& input,
                     const Workbench::Options& options = startOptions(), int workers = 2,
                     std::size_t batchLines = 3) {
    const batch::Job& job = *batch::jobNamed(code);
    batch::StringSink out, palette, errors;
    batch::RunSettings s;
    s.options = options;
    s.workers = workers;
    s.batchLines = batchLines; // small batches: records cross batch and worker boundaries
    s.time = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
    const ChunkReader read = stringReader(input, 5);
    JobRun r;
    r.report = batch::runBatchStream(job, sharedTable(), read, job.output ? &out : nullptr,
                                     job.output ? nullptr : &palette, &errors, s);
    r.out = out.committed();
    r.palette = palette.committed();
    r.errors = errors.committed();
    return r;
}

inline std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

} // namespace zul::testing
