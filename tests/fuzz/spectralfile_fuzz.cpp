// Spectra from any file, as `zul spectral` and the Spectral window read them, then through the
// weights under one condition. Property: every spectrum read is usable (finite values, a layout
// the weights take) or an error says why; nothing else escapes.
#include "fuzzcheck.h"

#include "spectral/colorimetry.h"
#include "spectral/spectrumfile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul::spectral;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::vector<NamedSpectrum> spectra;
    try {
        spectra = readSpectra(bytes);
    } catch (const SpectrumFileError& e) {
        FUZZ_CHECK(*e.what() != 0);
        return 0;
    }
    FUZZ_CHECK(!spectra.empty());
    for (const NamedSpectrum& s : spectra) {
        FUZZ_CHECK(!s.spectrum.values.empty());
        FUZZ_CHECK(s.spectrum.interval >= kMinInterval && s.spectrum.interval <= kMaxInterval);
        for (double v : s.spectrum.values)
            FUZZ_CHECK(std::isfinite(v));
        try {
            const ConditionColour c = colourUnder(s.spectrum, {Illuminant::F11, Observer::Deg2});
            FUZZ_CHECK(std::isfinite(c.xyz.x) && std::isfinite(c.xyz.y) && std::isfinite(c.xyz.z));
        } catch (const std::invalid_argument&) {
            // wavelengths entirely outside 360..830 nm
        }
    }
    return 0;
}
