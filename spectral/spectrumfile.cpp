#include "spectral/spectrumfile.h"

#include "records/cgats.h"
#include "records/safefiles.h"
#include "records/spectralimport.h"

#include <algorithm>
#include <cmath>

namespace zul::spectral {

namespace {

// As much as "Import" reads.
constexpr qint64 kMaxSpectrumFileBytes = 16 * 1024 * 1024;

} // namespace

std::vector<NamedSpectrum> readSpectra(const QByteArray& bytes, std::string* note) {
    if (note) note->clear();
    std::vector<NamedSpectrum> out;
    if (!bytes.contains("BEGIN_DATA_FORMAT")) {
        const ImportResult r = importPlainSpectrum(bytes);
        if (!r.ok) throw SpectrumFileError(r.error.toStdString());
        NamedSpectrum s{r.header.trimmed().toStdString(), {360, 10, {}}};
        for (float v : r.values)
            s.spectrum.values.push_back(v);
        out.push_back(std::move(s));
        return out;
    }
    CgatsSpectra c;
    try {
        c = cgatsSpectra(std::string_view(bytes.constData(), bytes.size()));
    } catch (const CgatsError& e) {
        throw SpectrumFileError(e.what());
    }
    if (c.intervalNm < kMinInterval || c.intervalNm > kMaxInterval)
        throw SpectrumFileError("the spectral fields are " + std::to_string(c.intervalNm) +
                                " nm apart (1 to 20 nm are read)");
    for (std::size_t k = 0; k < c.names.size(); ++k) {
        std::vector<double>& v = c.values[k];
        if (std::any_of(v.begin(), v.end(), [](double d) { return !std::isfinite(d); }))
            throw SpectrumFileError("sample " + c.names[k] + ": a spectral value is not a number");
        if (c.factors)
            for (double& d : v)
                d *= 100;
        out.push_back({c.names[k], {double(c.firstNm), double(c.intervalNm), std::move(v)}});
    }
    if (out.empty()) throw SpectrumFileError("the CGATS file holds no sample");
    if (note) *note = c.scaleNote;
    return out;
}

std::vector<NamedSpectrum> readSpectrumFile(const QString& path, std::string* note) {
    // Regular files only, and bounded: a FIFO or /dev/zero ends at once with a message.
    const FileBytes read = readRegularFile(path, kMaxSpectrumFileBytes);
    if (!read.ok())
        throw SpectrumFileError(read.error.startsWith('"')
                                    ? read.error.toStdString()
                                    : path.toStdString() + ": " + read.error.toStdString());
    return readSpectra(read.bytes, note);
}

} // namespace zul::spectral
