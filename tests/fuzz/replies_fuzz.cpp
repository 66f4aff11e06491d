// Every instrument reply parser on any reply (the first byte picks the parser; the rest is the
// reply). Property: 40 finite values and no error, or an error and no values, never both; a plain
// decimal is finite.
#include "fuzzcheck.h"

#include "instruments/parsers.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul::instruments;
    if (size == 0) return 0;
    const QByteArray reply(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    SpectrumReading r;
    switch (data[0] % 6) {
    case 0:
        r = parseCe7000Reply(reply);
        break;
    case 1:
        r = parseCe2180Data(reply);
        break;
    case 2:
        r = parseCiReply(reply);
        break;
    case 3:
        r = parseSpectrolinoReply(reply);
        break;
    case 4:
        r = parseXthReply(reply);
        break;
    default: {
        const auto v = plainDecimal(zul::fuzz::asText(data + 1, size - 1));
        if (v) FUZZ_CHECK(std::isfinite(*v));
        (void)statusCalibrated(reply);
        return 0;
    }
    }
    if (r.ok) {
        FUZZ_CHECK(r.error.isEmpty());
        for (float v : r.values)
            FUZZ_CHECK(std::isfinite(v));
    } else {
        FUZZ_CHECK(!r.error.isEmpty());
        for (float v : r.values)
            FUZZ_CHECK(v == 0.0f);
    }
    return 0;
}
