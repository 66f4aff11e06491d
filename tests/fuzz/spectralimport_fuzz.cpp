// Spectral import of any file (the first byte picks the plain reader, the CGATS reader or the one
// that chooses by content). Property: 40 finite values and no error, or an error and no values.
#include "fuzzcheck.h"

#include "records/spectralimport.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    if (size == 0) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    ImportResult r;
    switch (data[0] % 3) {
    case 0:
        r = importSpectrum(bytes);
        break;
    case 1:
        r = importPlainSpectrum(bytes);
        break;
    default:
        r = importCgatsSpectrum(bytes);
        break;
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
