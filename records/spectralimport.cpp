#include "records/spectralimport.h"

#include "records/cgats.h"
#include "records/safefiles.h"
#include "text/seqfile.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>

namespace zul {

std::optional<float> plainDecimal(std::string_view field) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!field.empty() && blank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && blank(field.back()))
        field.remove_suffix(1);
    std::size_t i = 0;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
    int digits = 0, points = 0;
    for (std::size_t j = i; j < field.size(); ++j) {
        if (field[j] >= '0' && field[j] <= '9')
            ++digits;
        else if (field[j] == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1) return std::nullopt;
    // from_chars takes no plus sign and always reads the point, whatever the locale.
    if (field[0] == '+') field.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (r.ec != std::errc() || r.ptr != field.data() + field.size()) return std::nullopt;
    // Forty digits fit a double but not a float.
    if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(v);
}

QString badSlot(int slot, std::string_view text) {
    return QStringLiteral("slot %1 (%2 nm): \"%3\" is not a number")
        .arg(slot)
        .arg(350 + 10 * slot)
        .arg(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

QString importFormatMessage() {
    return QStringLiteral("file import format error\r\nFORMAT\r\nTAG\r\n%R360, ...,%R750");
}

namespace {

QByteArray withoutBom(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
}

ImportResult failed(QString why) {
    ImportResult r;
    r.error = std::move(why);
    return r;
}

} // namespace

ImportResult importPlainSpectrum(const QByteArray& input) {
    const QByteArray bytes = withoutBom(input);
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    if (end == bytes.size()) return failed("no line after the header");
    ImportResult r;
    r.header = QString::fromUtf8(bytes.left(end));
    qsizetype next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;

    std::istringstream in(bytes.mid(next).toStdString());
    FieldReader fields(in);
    for (int slot = 1; slot <= kSpectralPoints; ++slot) {
        const auto field = fields.next();
        if (!field) return failed(QStringLiteral("%1 values where 40 are needed").arg(slot - 1));
        const auto v = plainDecimal(*field);
        if (!v)
            return failed(
                QStringLiteral("line %1: %2").arg(fields.line() + 1).arg(badSlot(slot, *field)));
        r.values[static_cast<std::size_t>(slot - 1)] = *v;
    }
    r.ok = true;
    return r;
}

namespace {

// The first line of a file, without its line end (CR, LF or CR LF) and blanks around it.
QString firstLine(const QByteArray& bytes) {
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    return QString::fromLatin1(bytes.left(end).trimmed());
}

} // namespace

ImportResult importCgatsSpectrum(const QByteArray& input) {
    const QByteArray bytes = withoutBom(input);
    // The CGATS parser must not be handed an empty block (it stops the program).
    if (bytes.isEmpty()) return failed("not a readable CGATS file: the file is empty");
    if (hasCgatsInclude(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        return failed(kCgatsIncludeRefused);
    CgatsSpectra c;
    try {
        c = cgatsSpectra(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const CgatsParseError& e) {
        return failed("not a readable CGATS file: " + QString::fromStdString(e.what()));
    } catch (const CgatsError& e) {
        return failed(QString::fromStdString(e.what()));
    }
    if (c.names.empty()) return failed("the CGATS file holds no sample");

    // The array's wavelengths the file holds: every 10 nm of a 1, 2, 5 or 10 nm file.
    std::map<int, float> byNm;
    for (std::size_t k = 0; k < c.texts[0].size(); ++k) {
        const int nm = c.firstNm + c.intervalNm * static_cast<int>(k);
        if (nm % kWavelengthStepNm != 0 || nm < kFirstWavelengthNm || nm > 750) continue;
        const std::string& cell = c.texts[0][k];
        const auto v = plainDecimal(cell);
        if (!v)
            return failed(QStringLiteral("%1: \"%2\" is not a number")
                              .arg(QString::fromLatin1(c.fields[k].c_str()),
                                   QString::fromLatin1(cell.c_str())));
        byNm[nm] = *v;
    }
    if (byNm.empty())
        return failed(QStringLiteral("the spectral fields hold no value at 360, 370, ... 750 nm"));
    const int lo = byNm.begin()->first;
    const int hi = byNm.rbegin()->first;
    for (int nm = lo; nm <= hi; nm += kWavelengthStepNm)
        if (!byNm.count(nm)) return failed(QStringLiteral("no value at %1 nm").arg(nm));
    if (lo > 400 || hi < 700)
        return failed(QStringLiteral("the spectrum covers only %1 to %2 nm").arg(lo).arg(hi));

    ImportResult r;
    QStringList notes;
    for (int i = 0; i < kSpectralPoints; ++i) {
        const int nm = std::clamp(kFirstWavelengthNm + kWavelengthStepNm * i, lo, hi);
        r.values[static_cast<std::size_t>(i)] = byNm[nm] * (c.factors ? 100.0f : 1.0f);
    }
    r.header = firstLine(bytes);
    if (c.sampleNameField) r.header += ' ' + QString::fromUtf8(c.names[0]);
    const int rows = static_cast<int>(c.names.size());
    if (rows > 1) notes << QStringLiteral("first of %1 samples").arg(rows);
    if (!c.scaleNote.empty())
        notes << QString::fromStdString(c.scaleNote);
    else if (c.factors)
        notes << QStringLiteral("reflectance factors taken as 0..1");
    if (lo > kFirstWavelengthNm || hi < 750)
        notes << QStringLiteral("%1-%2 nm extended to 360-750 nm by repeating the end values")
                     .arg(lo)
                     .arg(hi);
    r.note = QStringLiteral("CGATS import: ") + notes.join("; ");
    r.ok = true;
    return r;
}

ImportResult importSpectrum(const QByteArray& bytes) {
    if (bytes.contains("BEGIN_DATA_FORMAT")) return importCgatsSpectrum(bytes);
    return importPlainSpectrum(bytes);
}

} // namespace zul
