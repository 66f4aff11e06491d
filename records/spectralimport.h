#pragma once
// One spectral sample from a file, as "Import" reads it: a header line and 40 reflectances in
// percent (360..750 nm), separated by commas or line ends; or a CGATS file with spectral fields,
// whose first sample is taken. Pure over bytes, so every input can be tried without a file.
#include "colorimetry/tristimulus.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

namespace zul {

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

// A field that is a plain decimal number: blanks around it, an optional sign, digits with at most
// one point and at least one digit. "nan", "inf", exponents, hex and anything else: nullopt.
// Numbers use the point whatever the locale.
std::optional<float> plainDecimal(std::string_view field);

// "slot 7 (420 nm): \"nan\" is not a number"
QString badSlot(int slot, std::string_view text);

} // namespace zul
