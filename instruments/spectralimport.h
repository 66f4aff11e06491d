#pragma once
// One spectral sample from a file: a header line and 40 reflectances in percent (360..750 nm),
// separated by commas or line ends; or a CGATS file with SPECTRAL_NM columns, whose first sample
// is taken. Pure over bytes, so every input can be tried without a file.
#include "colorimetry/tristimulus.h"

#include <QByteArray>
#include <QString>

namespace zul::instruments {

struct ImportResult {
    bool ok = false;
    QString header; // the first line (plain files) or the file's identification (CGATS)
    Reflectance values{};
    QString note;  // what the import did beyond reading: extension, scaling, sample chosen
    QString error; // why it failed, for logs and the command line
};

// The message shown for any failure: four lines joined by CR LF.
QString importFormatMessage();

ImportResult importSpectrum(const QByteArray& bytes);
// Plain layout only / CGATS only (importSpectrum picks by content).
ImportResult importPlainSpectrum(const QByteArray& bytes);
ImportResult importCgatsSpectrum(const QByteArray& bytes);

} // namespace zul::instruments
