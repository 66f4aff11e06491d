// The batch record readers: the first byte picks the job, every following line goes through the
// job's reader. Properties: a line is a record or says why; a well-formed record is a record; a
// spectral record holds 40 finite reflectances; the field walker always ends and never repeats a
// position.
#include "fuzzcheck.h"

#include "batch/jobs.h"
#include "batch/records.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul::batch;
    if (size == 0) return 0;
    const auto& all = jobs();
    const Job& job = all[data[0] % all.size()];
    std::string_view text = zul::fuzz::asText(data + 1, size - 1);
    Record record;
    while (text.data() != nullptr) {
        auto [line, rest] = zul::fuzz::cut(text, '\n');
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text = rest;

        const std::string reason = readRecord(job, line, record);
        if (reason.empty() && job.chain == Chain::Spectral)
            for (float v : record.reflectance)
                FUZZ_CHECK(std::isfinite(v));
        if (isWellFormedRecord(job, line)) FUZZ_CHECK(reason.empty());

        std::size_t pos = 0, fields = 0;
        std::string field;
        while (nextCsvField(line, pos, field)) {
            FUZZ_CHECK(++fields <= line.size() + 1);
            FUZZ_CHECK(field.size() <= line.size());
        }
        if (isBlankLine(line)) FUZZ_CHECK(fields == 0);
    }
    return 0;
}
