// CGATS.17 files read by the xyz, lab and spectral jobs (the first byte picks one), and any text
// read as an output table to write as CGATS. Properties: reading gives records or a CgatsError;
// every line read is one of the job's records (or names the field that does not hold a number);
// a table written as CGATS reads back as a file the xyz and lab jobs accept; a file with an
// .INCLUDE is refused whole, before the parser could open the file it names.
#include "fuzzcheck.h"

#include "batch/cgatsjob.h"
#include "batch/jobs.h"
#include "batch/records.h"
#include "records/safefiles.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul::batch;
    if (size == 0) return 0;
    std::vector<const Job*> readers, writers;
    for (const Job& j : jobs()) {
        if (readsCgats(j)) readers.push_back(&j);
        if (writesCgats(j)) writers.push_back(&j);
    }
    const std::string_view text = zul::fuzz::asText(data + 1, size - 1);
    if (data[0] & 0x80) {
        const Job& job = *writers[data[0] % writers.size()];
        std::string written;
        try {
            written = recordsToCgats(job, text);
        } catch (const CgatsError&) {
            return 0;
        }
        // What we write, we read: the xyz and lab columns are there.
        for (const Job* reader : readers) {
            if (reader->id == JobId::Spectral) continue;
            try {
                (void)cgatsToRecords(*reader, written);
            } catch (const CgatsError& e) {
                std::fprintf(stderr, "written CGATS does not read back: %s\n%s\n", e.what(),
                             written.c_str());
                FUZZ_CHECK(false);
            }
        }
        return 0;
    }
    const Job& job = *readers[data[0] % readers.size()];
    std::string lines;
    const bool include = zul::hasCgatsInclude(text);
    try {
        lines = cgatsToRecords(job, text);
    } catch (const CgatsError& e) {
        FUZZ_CHECK(!include || text.empty() || std::string(e.what()) == zul::kCgatsIncludeRefused);
        return 0;
    }
    FUZZ_CHECK(!include);
    Record record;
    std::size_t start = 0;
    while (start < lines.size()) {
        const std::size_t end = lines.find('\n', start);
        FUZZ_CHECK(end != std::string::npos); // every line ends
        const std::string_view line(lines.data() + start, end - start);
        FUZZ_CHECK(line.find('\r') == std::string_view::npos);
        (void)readRecord(job, line, record);
        start = end + 1;
    }
    return 0;
}
