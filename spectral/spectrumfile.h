#pragma once
// Spectra from files: the plain layout "Import" reads (a header line and 40 reflectances,
// 360..750 nm) and CGATS.17 files with spectral fields, every sample of the file.
#include "spectral/weights.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>
#include <string>
#include <vector>

namespace zul::spectral {

struct SpectrumFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct NamedSpectrum {
    std::string name;
    Spectrum spectrum; // percent
};

// The spectra of a file's bytes. A CGATS file holds reflectance factors or percent, decided once
// for the whole file; factors are scaled to percent, as "Import" does. `note`, when given, gets
// what the reader assumed (a lone sample's scale) or is cleared. Throws SpectrumFileError saying
// why the file cannot be read (a CGATS value that is not a number, a layout out of 1..20 nm).
std::vector<NamedSpectrum> readSpectra(const QByteArray& bytes, std::string* note = nullptr);
// The same for a file (regular, 16 MiB at most); SpectrumFileError also when it cannot be read.
std::vector<NamedSpectrum> readSpectrumFile(const QString& path, std::string* note = nullptr);

} // namespace zul::spectral
