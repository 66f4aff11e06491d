// Every instrument reply parser on any reply (the first byte picks the parser; the rest is the
// reply). Property: 40 finite values and no error, or an error and no values, never both; a plain
// decimal is finite.
#include "fuzzcheck.h"

#include "instruments/parsers.h"

#include <cmath>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul::instruments;
    using Parser = SpectrumReading (*)(const QByteArray&);
    static const Parser kParsers[] = {parseCe7000Reply, parseCe2180Data, parseCiReply,
                                      parseSpectrolinoReply, parseXthReply};
    if (size == 0) return 0;
    const QByteArray reply(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const std::size_t pick = data[0] % (std::size(kParsers) + 1);
    if (pick == std::size(kParsers)) {
        const auto v = plainDecimal(zul::fuzz::asText(data + 1, size - 1));
        if (v) FUZZ_CHECK(std::isfinite(*v));
        (void)statusCalibrated(reply);
        return 0;
    }
    zul::fuzz::checkSpectrumReading(kParsers[pick](reply));
    return 0;
}
