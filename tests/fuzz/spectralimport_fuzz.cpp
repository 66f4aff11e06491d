// Spectral import of any file (the first byte picks the plain reader, the CGATS reader or the one
// that chooses by content). Property: 40 finite values and no error, or an error and no values.
#include "fuzzcheck.h"

#include "records/spectralimport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    if (size == 0) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
    case 0:
        fuzz::checkSpectrumReading(importSpectrum(bytes));
        break;
    case 1:
        fuzz::checkSpectrumReading(importPlainSpectrum(bytes));
        break;
    default:
        fuzz::checkSpectrumReading(importCgatsSpectrum(bytes));
        break;
    }
    return 0;
}
