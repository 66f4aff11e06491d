#include "instruments/spectralimport.h"

#include "instruments/parsers.h"
#include "text/seqfile.h"
#include "records/safefiles.h"

#include <QStringList>

#include <lcms2.h>

#include <map>
#include <sstream>

namespace zul::instruments {

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

struct It8 {
    explicit It8(const QByteArray& bytes) {
        context = cmsCreateContext(nullptr, this);
        cmsSetLogErrorHandlerTHR(context, [](cmsContext c, cmsUInt32Number, const char* text) {
            static_cast<It8*>(cmsGetContextUserData(c))->error = QString::fromUtf8(text);
        });
        handle = cmsIT8LoadFromMem(context, bytes.constData(),
                                   static_cast<cmsUInt32Number>(bytes.size()));
    }
    ~It8() {
        if (handle) cmsIT8Free(handle);
        cmsDeleteContext(context);
    }
    cmsContext context = nullptr;
    cmsHANDLE handle = nullptr;
    QString error;
};

// 380 from "SPECTRAL_NM380", "SPECTRAL_380" or "nm380"; -1 for other columns.
int wavelengthOf(const QString& column) {
    QString c = column.toUpper();
    for (const char* prefix : {"SPECTRAL_NM", "SPECTRAL_", "NM"})
        if (c.startsWith(prefix)) {
            bool ok = false;
            const int nm = c.mid(static_cast<qsizetype>(qstrlen(prefix))).toInt(&ok);
            return ok ? nm : -1;
        }
    return -1;
}

} // namespace

ImportResult importCgatsSpectrum(const QByteArray& input) {
    const QByteArray bytes = withoutBom(input);
    // The CGATS parser must not be handed an empty block (it stops the program).
    if (bytes.isEmpty()) return failed("not a readable CGATS file: the file is empty");
    if (hasCgatsInclude(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        return failed(kCgatsIncludeRefused);
    It8 it8(bytes);
    if (!it8.handle) return failed("not a readable CGATS file: " + it8.error);
    char** names = nullptr;
    const int columns = cmsIT8EnumDataFormat(it8.handle, &names);
    const double sets = cmsIT8GetPropertyDbl(it8.handle, "NUMBER_OF_SETS");
    if (!(sets >= 1)) return failed("the CGATS file holds no sample");
    const int rows = sets < 1e9 ? static_cast<int>(sets) : 1000000000;

    std::map<int, float> byNm;
    for (int col = 0; col < columns; ++col) {
        if (!names || !names[col]) continue; // fewer field names than NUMBER_OF_FIELDS
        const int nm = wavelengthOf(QString::fromLatin1(names[col]));
        if (nm < 0 || nm % kWavelengthStepNm != 0 || nm < kFirstWavelengthNm || nm > 750) continue;
        const char* cell = cmsIT8GetDataRowCol(it8.handle, 0, col);
        const auto v = cell ? plainDecimal(cell) : std::nullopt;
        if (!v)
            return failed(
                QStringLiteral("%1: \"%2\" is not a number")
                    .arg(QString::fromLatin1(names[col]), QString::fromLatin1(cell ? cell : "")));
        byNm[nm] = *v;
    }
    if (byNm.empty()) return failed("the CGATS file has no SPECTRAL_NM columns");
    const int lo = byNm.begin()->first;
    const int hi = byNm.rbegin()->first;
    for (int nm = lo; nm <= hi; nm += kWavelengthStepNm)
        if (!byNm.count(nm)) return failed(QStringLiteral("no value at %1 nm").arg(nm));
    if (lo > 400 || hi < 700)
        return failed(QStringLiteral("the spectrum covers only %1 to %2 nm").arg(lo).arg(hi));

    float highest = 0;
    for (const auto& [nm, v] : byNm)
        highest = std::max(highest, v);
    // Spectral columns hold reflectance factors (0..1) in most files, percent in some.
    const bool factors = highest <= 2.0f;

    ImportResult r;
    QStringList notes;
    for (int i = 0; i < kSpectralPoints; ++i) {
        const int nm = std::clamp(kFirstWavelengthNm + kWavelengthStepNm * i, lo, hi);
        r.values[static_cast<std::size_t>(i)] = byNm[nm] * (factors ? 100.0f : 1.0f);
    }
    const QByteArray firstLine = bytes.left(bytes.indexOf('\n')).trimmed();
    r.header = QString::fromLatin1(firstLine);
    const char* patch = cmsIT8GetPatchName(it8.handle, 0, nullptr);
    if (const char* id = patch ? cmsIT8GetData(it8.handle, patch, "SAMPLE_NAME") : nullptr)
        r.header += ' ' + QString::fromUtf8(id);
    if (rows > 1) notes << QStringLiteral("first of %1 samples").arg(rows);
    if (factors) notes << QStringLiteral("reflectance factors taken as 0..1");
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

} // namespace zul::instruments
