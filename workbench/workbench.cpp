#include "workbench/workbench.h"

#include "colorimetry/lab.h"
#include "colorimetry/rgb.h"
#include "colorimetry/tristimulus.h"
#include "munsell/forward.h"
#include "munsell/hue.h"
#include "munsell/inverse.h"
#include "munsell/notation.h"
#include "munsell/table.h"
#include "munsell/value.h"
#include "records/atomicfile.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/entryforms.h"
#include "workbench/palette.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zul {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The first and the last `N` of `n` bytes, N <= n <= 2 N, every load before any store.
template <std::size_t N> void copyEnds(char* to, const char* from, std::size_t n) {
    char head[N], tail[N];
    std::memcpy(head, from, N);
    std::memcpy(tail, from + n - N, N);
    std::memcpy(to, head, N);
    std::memcpy(to + n - N, tail, N);
}

// Up to 32 bytes in a few moves of fixed size instead of a call.
void copyShort(char* to, const char* from, std::size_t n) {
    if (n >= 16)
        copyEnds<16>(to, from, n);
    else if (n >= 8)
        copyEnds<8>(to, from, n);
    else if (n >= 4)
        copyEnds<4>(to, from, n);
    else if (n >= 2)
        copyEnds<2>(to, from, n);
    else if (n == 1)
        to[0] = from[0];
}

constexpr const char* kOutOfMunsellRange = "Out of Munsell Range";
constexpr const char* kExtrapolatedNote = "beyond renotation data \u2014 extrapolated";

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr const char* kEntriesReadAsC = "XYZ, x y, CIELAB and RGB entries are read as illuminant C";

// A number typed with a decimal comma: the reason says what to type instead.
QString numberHint(const QString& text) {
    if (!text.contains(',')) return {};
    QString pointed = text;
    pointed.replace(',', '.');
    return isNumber(pointed.toStdString()) ? QStringLiteral("; use a point") : QString();
}

// Marks a field a chain that ran to the end could not fill.
constexpr unsigned kLeftByChain = ~0u;
// The value slider's and the chromatic colours' lowest value.
constexpr float kLowestValue = 0.5f;
// X, Y, Z fields (two decimals) below which a zero among them leaves no chromaticity.
constexpr float kNeutralBelow = 0.05f;

// An error the Munsell entry chain explains in the Messages field.
struct MunsellReason : Error {
    using Error::Error;
};

} // namespace

SliderRange sliderRange(Slider s) {
    switch (s) {
    case Slider::Hue:
        return {0, 202};
    case Slider::Value:
        return {1, 20};
    case Slider::Chroma:
        return {0, 40};
    case Slider::R:
    case Slider::G:
    case Slider::B:
        return {0, 255};
    case Slider::Tint:
        return {50, 100};
    case Slider::Gamma:
        return {10, 30};
    case Slider::Count:
        break;
    }
    return {0, 0};
}

struct Workbench::Engine {
    explicit Engine(std::shared_ptr<const RenotationTable> table)
        : index(sharedCellIndex(std::move(table))), weights(getweights()) {}
    std::shared_ptr<const CellIndex> index;
    WeightingTable weights;
};

Workbench::Workbench(std::shared_ptr<const RenotationTable> table, Dialogs& dialogs,
                     QObject* parent)
    : QObject(parent), m_table(std::move(table)), m_dialogs(dialogs),
      m_engine(std::make_unique<Engine>(m_table)) {
    m_label1 = qs(std::string(kIlluminantStatusDefault));
    m_sliders[static_cast<int>(Slider::Value)] = 1;
    m_sliders[static_cast<int>(Slider::Tint)] = 100;
    m_sliders[static_cast<int>(Slider::Gamma)] = 22;
    setField(Field::Gamma, "2.2");
    m_exponent.fill(kDefaultDisplayExponent);
    m_cmykExponent.fill(kCmykExponent);
}

Workbench::~Workbench() = default;

void Workbench::startUp() {
    m_gain = {1.0f, 1.0f, 1.0f};
    m_exponent.fill(kDefaultDisplayExponent);
    m_cmykExponent.fill(kCmykExponent);
    m_sliders[static_cast<int>(Slider::Tint)] = 100;
    m_sliders[static_cast<int>(Slider::Gamma)] = 22;
    setField(Field::Gamma, "2.2");
    setField(Field::Hue, "6.4Y");
    setField(Field::Value, "8.6");
    setField(Field::Chroma, "10.4");
    selectIlluminant(0);
}

void Workbench::clearEntries() {
    for (int f = 0; f < static_cast<int>(Field::Count); ++f) {
        if (f == static_cast<int>(Field::Gamma)) continue;
        FieldText& t = m_fields[static_cast<std::size_t>(f)];
        t.clear();
        t.shownCurrent = false;
    }
    m_label19.clear();
    m_munsellNote.clear();
    m_valueNote.clear();
    m_outOfRange = false;
    m_stale.fill(false);
    m_nearest.reset();
    emit changed();
}

QString Workbench::entryNote() const {
    return (m_illuminant == 1 || m_illuminant == 2) && !m_adapt ? QString(kEntriesReadAsC)
                                                                : QString();
}

bool Workbench::anyStale() const {
    return std::any_of(m_stale.begin(), m_stale.end(), [](bool s) { return s; });
}

void Workbench::setAdaptEntries(bool on) {
    m_adapt = on;
    emit changed();
}

void Workbench::setMessage(const QString& text, bool reason) {
    m_messageIsReason = reason;
    if (text == m_message) return;
    m_message = text;
    emit messageChanged(m_message);
}

void Workbench::clearReason() {
    if (m_messageIsReason && !m_message.isEmpty()) setMessage(QString());
}

void Workbench::beginChain(EntryForm inputs) {
    ++m_chain;
    m_chainPainted = false;
    m_valueNote.clear();
    for (const EntryField& f : entryForm(inputs).fields)
        m_written[static_cast<std::size_t>(f.field)] = m_chain;
}

void Workbench::endChain(bool ok) {
    for (int i = 0; i < static_cast<int>(Field::Count); ++i) {
        if (i == static_cast<int>(Field::Gamma)) continue;
        const bool fromThisChain = m_written[static_cast<std::size_t>(i)] == m_chain;
        bool& mark = m_stale[static_cast<std::size_t>(i)];
        if (ok)
            mark = m_written[static_cast<std::size_t>(i)] == kLeftByChain;
        else if (fromThisChain)
            mark = !m_chainPainted; // the new texts, while the swatch keeps the old colour
        else if (m_chainPainted)
            mark = true; // the old texts, under a swatch of the new colour
    }
}

Xyz Workbench::entryToC(Xyz xyz) const {
    if (m_adapt && (m_illuminant == 1 || m_illuminant == 2)) {
        float xs = 0, ys = 0;
        xyzconvert("B", m_illuminant, xyz, xs, ys);
    }
    return xyz;
}

Workbench::Options Workbench::options() const {
    Options o;
    o.illuminant = m_illuminant;
    o.pwd = m_pwd;
    o.gains = m_gain;
    o.displayExponents = m_exponent;
    o.cmykExponents = m_cmykExponent;
    o.tintSlider = slider(Slider::Tint);
    o.gammaSlider = slider(Slider::Gamma);
    o.gammaText = text(Field::Gamma);
    o.adapt = m_adapt;
    return o;
}

void Workbench::applyOptions(const Options& o) {
    if (o.illuminant >= 0 && o.illuminant <= 2) {
        m_illuminant = o.illuminant;
        m_label1 =
            qs(std::string(kIlluminants[static_cast<std::size_t>(o.illuminant)].statusCaption));
    }
    m_pwd = o.pwd;
    m_gain = o.gains;
    m_exponent = o.displayExponents;
    m_cmykExponent = o.cmykExponents;
    m_sliders[static_cast<int>(Slider::Tint)] = o.tintSlider;
    m_sliders[static_cast<int>(Slider::Gamma)] = o.gammaSlider;
    setField(Field::Gamma, o.gammaText);
    m_adapt = o.adapt;
    emit tintChanged();
    emit changed();
}

const WeightingTable& Workbench::weights() const {
    return m_engine->weights;
}

RgbSettings Workbench::rgbSettings() const {
    RgbSettings s;
    s.gains = m_gain;
    s.displayExponents = m_exponent;
    s.cmykExponents = m_cmykExponent;
    return s;
}

void Workbench::setText(Field f, const QString& text) {
    if (f != Field::Gamma && text != this->text(f)) m_stale[static_cast<std::size_t>(f)] = true;
    setField(f, text);
    if (f == Field::Gamma) gammaTextChanged(text);
}

void Workbench::setTextUtf8(Field f, std::string_view utf8) {
    if (f == Field::Gamma || !isAscii(utf8)) {
        setText(f, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        return;
    }
    FieldText& t = m_fields[static_cast<std::size_t>(f)];
    if (utf8 != t.bytes()) m_stale[static_cast<std::size_t>(f)] = true;
    t.assign(utf8);
    t.shownCurrent = false;
}

void Workbench::FieldText::assign(std::string_view b) {
    numberRead = false;
    if (b.size() <= kShort) {
        copyShort(shortBytes.data(), b.data(), b.size());
        shortSize = static_cast<unsigned char>(b.size());
        isLong = false;
    } else {
        longBytes.assign(b);
        isLong = true;
    }
}

void Workbench::showBytes(const FieldText& t) {
    // The storage of the last QString is reused while no one else holds it.
    const std::string_view b = t.bytes();
    if (t.shown.isDetached() && isAscii(b)) {
        t.shown.resize(static_cast<qsizetype>(b.size()));
        std::transform(b.begin(), b.end(), t.shown.data(),
                       [](char c) { return QChar(QLatin1Char(c)); });
    } else {
        t.shown = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    }
    t.shownCurrent = true;
}

void Workbench::setField(Field f, const QString& text) {
    FieldText& t = m_fields[static_cast<std::size_t>(f)];
    t.shown = text;
    t.shownCurrent = true;
    const auto n = static_cast<std::size_t>(text.size());
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii && n <= FieldText::kShort) {
        std::transform(text.begin(), text.end(), t.shortBytes.begin(),
                       [](QChar c) { return static_cast<char>(c.unicode()); });
        t.shortSize = static_cast<unsigned char>(n);
        t.isLong = false;
        t.numberRead = false;
    } else {
        t.assign(text.toStdString());
    }
}

void Workbench::setFieldUtf8(Field f, std::string_view utf8) {
    if (!isAscii(utf8)) {
        setField(f, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        return;
    }
    FieldText& t = m_fields[static_cast<std::size_t>(f)];
    t.assign(utf8);
    t.shownCurrent = false;
}

void Workbench::writeField(Field f, std::string_view ascii) {
    m_written[static_cast<std::size_t>(f)] = m_chain;
    FieldText& t = m_fields[static_cast<std::size_t>(f)];
    t.assign(ascii);
    t.shownCurrent = false;
}

void Workbench::writeField(Field f, int number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    writeField(f, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

float Workbench::strict(Field f) const {
    const FieldText& t = m_fields[static_cast<std::size_t>(f)];
    if (t.numberRead) return t.number;
    try {
        t.number = static_cast<float>(parseStrictNamed(fieldCaption(f), t.bytes()));
    } catch (const Error&) {
        m_badField = f;
        throw;
    }
    t.numberRead = true;
    return t.number;
}

DisplayRgb fieldRgb(const Workbench& wb) {
    DisplayRgb rgb{};
    const Field fields[3] = {Field::R, Field::G, Field::Bl};
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] =
            std::clamp<std::int16_t>(roundToInt16(parseStrict(wb.textUtf8(fields[i]))), 0, 255);
    return rgb;
}

namespace {

// A number text as the chains write it ("51.57", "-.50"); 0 for anything else.
float readNumberText(std::string_view text) {
    float v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() ? v : 0.0f;
}

} // namespace

float twoDecimalsNumber(float v) {
    // The picture rounds the binary value half away from zero; a float times 100 is exact in a
    // double. The hundredths are then read as the decimal the text names, without the text.
    const double hundredths = std::round(static_cast<double>(v) * 100.0);
    if (!(std::fabs(hundredths) < 1e15)) return readNumberText(formatPicture(v, "###.00"));
    char text[32];
    char* end = std::to_chars(text, text + 24, static_cast<std::int64_t>(hundredths)).ptr;
    *end++ = 'e';
    *end++ = '-';
    *end++ = '2';
    return readNumberText(std::string_view(text, static_cast<std::size_t>(end - text)));
}

namespace {

// The position a slider takes for `position`, ties to even; nullopt outside its range.
std::optional<int> sliderPosition(Slider s, double position) {
    const SliderRange r = sliderRange(s);
    const double rounded = roundHalfEven(position);
    if (!(rounded >= r.min && rounded <= r.max)) return std::nullopt;
    return static_cast<int>(rounded);
}

// Below the table's lowest level only the neutrals are known.
bool isDarkNeutral(std::string_view hue, float value, float chroma) {
    return isNeutralHue(hue) && chroma == 0 && value >= 0 && value < kLowestValue;
}

} // namespace

void Workbench::reportFailure(const QString& message) {
    if (!m_boxless) m_dialogs.message(message);
}

void Workbench::paintSwatch() {
    m_chainPainted = true;
    emit swatchChanged(m_r, m_g, m_b);
}

Lab Workbench::labOf(Xyz& xyz) {
    const Lab lab = xyzlab(xyz, m_illuminant);
    writeField(Field::L, formatPicture(lab.l, "###.00"));
    writeField(Field::A, formatPicture(lab.a, "###.00"));
    writeField(Field::B, formatPicture(lab.b, "###.00"));
    if (switchOn(Switch::Tolerance)) emit toleranceRefresh(lab.l, lab.a, lab.b);
    return lab;
}

void Workbench::writeRgbFields(int r, int g, int b) {
    writeField(Field::R, r);
    writeField(Field::G, g);
    writeField(Field::Bl, b);
    m_guard = true;
    m_sliders[static_cast<int>(Slider::R)] = r;
    m_sliders[static_cast<int>(Slider::G)] = g;
    m_sliders[static_cast<int>(Slider::B)] = b;
    m_guard = false;
}

void Workbench::writeCmykFields(const CmykEstimate& e) {
    writeField(Field::C, e.percent[0]);
    writeField(Field::M, e.percent[1]);
    writeField(Field::Ye, e.percent[2]);
    writeField(Field::K, e.percent[3]);
}

void Workbench::runXyzrgb(const Xyz& xyz) {
    const RgbConversion conv = xyzrgb(xyz, m_illuminant, rgbSettings());
    m_outOfRange = conv.outOfRange;
    const DisplayRgb rgb = conv.shown(m_quiet);
    m_r = rgb[0];
    m_g = rgb[1];
    m_b = rgb[2];
    if (m_quiet) return;
    writeRgbFields(m_r, m_g, m_b);
    m_label19 = m_outOfRange ? QStringLiteral("Out of RGB Range") : QString();
    if (m_outOfRange)
        m_nearest = std::array<int, 3>{conv.clipped[0], conv.clipped[1], conv.clipped[2]};
    else
        m_nearest.reset();
    writeCmykFields(conv.cmyk);
}

CieColour Workbench::darkNeutralCie(float value) const {
    // Adaptation is linear: the neutral at the lowest level, scaled to the value's luminance.
    float lowest = kLowestValue;
    CieColour cie = mun2xyz(0, lowest, 0, *m_table, conditions());
    const bool pwd = m_pwd == 1;
    const float scale = vtoy(value, pwd) / vtoy(kLowestValue, pwd);
    cie.X *= scale;
    cie.Y *= scale;
    cie.Z *= scale;
    return cie;
}

bool Workbench::muncie() {
    // A whole notation typed into the hue field ("5R 4/14", "N 5/") fills all three. Only a
    // neutral's or one with a slash can be one: a hue alone ("5R") is passed over at once.
    const std::string_view typedHue = textUtf8(Field::Hue);
    if (typedHue.find_first_of("/Nn") != std::string_view::npos) {
        if (const auto parts = splitMunsellNotation(typedHue)) {
            setFieldUtf8(Field::Hue, parts->hue);
            setFieldUtf8(Field::Value, parts->value);
            setFieldUtf8(Field::Chroma, parts->chroma);
        }
    }
    if (switchOn(Switch::HuePage)) emit huePageRefresh();
    if (switchOn(Switch::ValuePage)) {
        // A value field that is not a number is reported by the chain below.
        try {
            emit valuePageRefresh(strict(Field::Value));
        } catch (const Error&) {
        }
    }
    m_munsellNote.clear();
    beginChain(EntryForm::Munsell);
    bool ok = true;
    // Why the entry failed or what was made of it, for the Messages field; the boxes keep their
    // fixed texts.
    QString reason;
    auto quoted = [this](Field f) {
        return QString::fromUtf8(fieldCaption(f)) + ": \"" + text(f) + "\"";
    };
    try {
        std::string hueText(textUtf8(Field::Hue));
        // "N" names a neutral, whose hue does not matter; with a chroma it is no notation.
        auto zeroChroma = [this] {
            try {
                return strict(Field::Chroma) == 0;
            } catch (const Error&) {
                return false;
            }
        };
        bool formatError = false;
        float hue = isNeutralHue(hueText) && zeroChroma() ? 0.0f : converth(hueText, &formatError);
        if (formatError) {
            reason = quoted(Field::Hue) + " is not a hue; use 5R, 2.5YR, ...";
            reportFailure("Format Error");
        }
        auto number = [&](Field f) {
            try {
                return strict(f);
            } catch (const Error& e) {
                throw MunsellReason(e.what() + numberHint(text(f)).toStdString());
            }
        };
        float value = number(Field::Value);
        const float chroma = number(Field::Chroma);
        const float typedValue = value;
        std::array<int, 3> positions{};
        CieColour cie;
        const Slider outside = munsellSteps(hueText, hue, value, chroma, positions, cie);
        // The sliders up to the one out of range move, each in turn.
        m_guard = true;
        const Slider sliders[3] = {Slider::Hue, Slider::Value, Slider::Chroma};
        for (std::size_t i = 0; i < 3 && sliders[i] != outside; ++i)
            m_sliders[static_cast<int>(sliders[i])] = positions[i];
        m_guard = false;
        if (outside == Slider::Hue)
            throw MunsellReason(
                (quoted(Field::Hue) + " is out of range; use 0 to 100").toStdString());
        if (outside == Slider::Value)
            throw MunsellReason(
                (quoted(Field::Value) + " is out of range; use 0.5 to 10").toStdString());
        if (outside == Slider::Chroma)
            throw MunsellReason(
                (quoted(Field::Chroma) + " is out of range; use 0 to 40").toStdString());
        // Beyond the renotation data there is no colour to show; zeros would pass for black.
        if (!cie.inReach)
            throw MunsellReason((text(Field::Hue) + " " + text(Field::Value) + "/" +
                                 text(Field::Chroma) + " is beyond the renotation data")
                                    .toStdString());
        if (value != typedValue) {
            m_valueNote = "Value " + text(Field::Value) + " was shown as " +
                          QString::fromStdString(plainText(value)) + ", the table's top";
            reason = m_valueNote;
        }

        writeField(Field::X, formatPicture(cie.X, "##0.00"));
        writeField(Field::Y, formatPicture(cie.Y, "##0.00"));
        writeField(Field::Z, formatPicture(cie.Z, "##0.00"));
        writeField(Field::SmallX, formatPicture(cie.x, "0.0000"));
        writeField(Field::SmallY, formatPicture(cie.y, "0.0000"));

        Xyz xyz{cie.X, cie.Y, cie.Z};
        labOf(xyz);
        runXyzrgb(xyz);
        paintSwatch();
    } catch (const Error& e) {
        if (reason.isEmpty()) reason = QString::fromStdString(e.what());
        reportFailure(kOutOfMunsellRange);
        ok = false;
    }
    endChain(ok);
    if (reason.isEmpty())
        clearReason();
    else
        setMessage(reason);
    emit changed();
    return ok;
}

Slider Workbench::munsellSteps(std::string_view hueText, float& hue, float& value, float chroma,
                               std::array<int, 3>& positions, CieColour& cie) const {
    // Below the table's lowest level only the neutrals are known: the white's chromaticity at
    // the value's luminance, down to black at N 0/.
    const bool darkNeutral = isDarkNeutral(hueText, value, chroma);
    const std::pair<Slider, double> wanted[3] = {
        {Slider::Hue, static_cast<double>(hue) * 2},
        {Slider::Value, static_cast<double>(darkNeutral ? kLowestValue : value) * 2},
        {Slider::Chroma, chroma}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<int> p = sliderPosition(wanted[i].first, wanted[i].second);
        if (!p) return wanted[i].first;
        positions[i] = *p;
    }
    if (hue >= 100) hue -= 100;
    cie = darkNeutral ? darkNeutralCie(value) : mun2xyz(hue, value, chroma, *m_table, conditions());
    return Slider::Count;
}

std::optional<Workbench::EntryColour>
Workbench::munsellColour(std::string_view hue, std::string_view value, std::string_view chroma,
                         float valueNumber, float chromaNumber) {
    const bool wholeNotation =
        hue.find_first_of("/Nn") != std::string_view::npos && splitMunsellNotation(hue);
    if (wholeNotation || !isAscii(hue) || !isAscii(value) || !isAscii(chroma)) {
        setTextUtf8(Field::Hue, hue);
        setTextUtf8(Field::Value, value);
        setTextUtf8(Field::Chroma, chroma);
        if (!muncie()) return std::nullopt;
        return EntryColour{displayRgb(),
                           {readNumberText(textUtf8(Field::L)), readNumberText(textUtf8(Field::A)),
                            readNumberText(textUtf8(Field::B))}};
    }
    // muncie() without the fields it writes and does not read again.
    try {
        std::string hueText(hue);
        bool formatError = false; // the chain goes on with the hue converth gives
        float h =
            isNeutralHue(hueText) && chromaNumber == 0 ? 0.0f : converth(hueText, &formatError);
        float v = valueNumber;
        std::array<int, 3> positions{};
        CieColour cie;
        if (munsellSteps(hueText, h, v, chromaNumber, positions, cie) != Slider::Count)
            return std::nullopt;
        // The X, Y, Z, x and y fields take only finite numbers.
        if (!cie.inReach || !std::isfinite(cie.X) || !std::isfinite(cie.Y) ||
            !std::isfinite(cie.Z) || !std::isfinite(cie.x) || !std::isfinite(cie.y))
            return std::nullopt;
        Xyz xyz{cie.X, cie.Y, cie.Z};
        const Lab lab = xyzlab(xyz, m_illuminant);
        EntryColour out;
        out.lab = {twoDecimalsNumber(lab.l), twoDecimalsNumber(lab.a), twoDecimalsNumber(lab.b)};
        const DisplayRgb rgb = xyzrgb(xyz, m_illuminant, rgbSettings()).shown(m_quiet);
        out.rgb = {rgb[0], rgb[1], rgb[2]};
        return out;
    } catch (const Error&) {
        return std::nullopt;
    }
}

bool Workbench::ciemunSteps() {
    const float X = strict(Field::X);
    float Y = strict(Field::Y);
    const float Z = strict(Field::Z);
    const float sum = X + Y + Z;
    // Near black the fields' two decimals leave no chromaticity to go by (X, Y, Z 0, 0, 0.01):
    // one of them is 0 and none reaches five steps of rounding. Black and such colours are the
    // neutral of their value.
    const bool neutral = std::min({X, Y, Z}) == 0 && std::max({X, Y, Z}) < kNeutralBelow &&
                         !(std::min({X, Y, Z}) < 0);
    if (neutral) return neutralSteps(X, Y, Z);
    if (!(sum > 0)) {
        // Nothing to show; the fields stay as they are, and do not belong to this colour.
        for (Field f : {Field::Hue, Field::Value, Field::Chroma, Field::SmallX, Field::SmallY})
            m_written[static_cast<std::size_t>(f)] = kLeftByChain;
        return true;
    }

    writeField(Field::SmallX, formatPicture(X / sum, ".0000"));
    writeField(Field::SmallY, formatPicture(Y / (Y + X + Z), ".0000"));

    Xyz c = entryToC({X, Y, Z});
    const MunsellColour m = xyzmun(c.x, c.y, c.z, *m_engine->index, m_pwd == 1);
    float value = m.value;
    if (value < kLowestValue) {
        // The value slider and the search's lowest level start at 0.5.
        value = kLowestValue;
        m_valueNote =
            QString::fromStdString("Value " + formatPicture(m.value, "##0.00") + " was shown as " +
                                   plainText(value) + ", the table's bottom");
    }
    const float hue = static_cast<float>(parseStrict(formatPicture(m.hue, "###.00")));

    writeField(Field::Hue, hconvert(hue));
    writeField(Field::Value, formatPicture(value, "##0.00"));
    writeField(Field::Chroma, formatPicture(m.chroma, "##0.00"));
    static const QString extrapolated = QString::fromUtf8(kExtrapolatedNote);
    m_munsellNote = m.isExtrapolated() ? extrapolated : QString();

    // The sliders show what they can: an extrapolated chroma beyond 40 leaves the chroma slider
    // at its end instead of failing the chain.
    m_guard = true;
    auto clampTo = [](Slider s, double pos) {
        const SliderRange r = sliderRange(s);
        return std::clamp(static_cast<int>(roundHalfEven(pos)), r.min, r.max);
    };
    m_sliders[static_cast<int>(Slider::Hue)] = clampTo(Slider::Hue, static_cast<double>(hue) * 2);
    m_sliders[static_cast<int>(Slider::Value)] =
        clampTo(Slider::Value, static_cast<double>(value) * 2);
    m_sliders[static_cast<int>(Slider::Chroma)] = clampTo(Slider::Chroma, m.chroma);
    m_guard = false;

    if (switchOn(Switch::HuePage)) emit huePageRefresh();
    if (switchOn(Switch::ValuePage)) emit valuePageRefresh(strict(Field::Value));
    return true;
}

bool Workbench::neutralSteps(float X, float Y, float Z) {
    // A neutral has the chromaticity every neutral notation gives.
    const CieColour white = darkNeutralCie(kLowestValue);
    writeField(Field::SmallX, formatPicture(white.x, ".0000"));
    writeField(Field::SmallY, formatPicture(white.y, ".0000"));
    Xyz c = entryToC({X, Y, Z});
    const float value = ytov(c.y, m_pwd == 1);
    writeField(Field::Hue, "N");
    writeField(Field::Value, formatPicture(value, "##0.00"));
    writeField(Field::Chroma, formatPicture(0.0f, "##0.00"));
    m_munsellNote.clear();
    m_guard = true;
    const SliderRange v = sliderRange(Slider::Value);
    m_sliders[static_cast<int>(Slider::Value)] =
        std::clamp(static_cast<int>(roundHalfEven(static_cast<double>(value) * 2)), v.min, v.max);
    m_sliders[static_cast<int>(Slider::Chroma)] = 0;
    m_guard = false;
    if (switchOn(Switch::HuePage)) emit huePageRefresh();
    if (switchOn(Switch::ValuePage)) emit valuePageRefresh(strict(Field::Value));
    return true;
}

bool Workbench::runChain(const std::function<void()>& steps) {
    bool ok = true;
    m_badField.reset();
    try {
        steps();
        if (m_valueNote.isEmpty())
            clearReason();
        else
            setMessage(m_valueNote);
    } catch (const Error& e) {
        const QString what = QString::fromStdString(e.what());
        reportFailure(what);
        setMessage(m_badField ? what + numberHint(text(*m_badField)) : what);
        ok = false;
    }
    endChain(ok);
    emit changed();
    return ok;
}

bool Workbench::ciemun() {
    beginChain(EntryForm::Xyz);
    return runChain([this] { ciemunSteps(); });
}

bool Workbench::xyzChain() {
    beginChain(EntryForm::Xyz);
    return runChain([this] {
        Xyz xyz{strict(Field::X), strict(Field::Y), strict(Field::Z)};
        labOf(xyz);
        ciemunSteps();
        runXyzrgb(xyz);
        paintSwatch();
    });
}

bool Workbench::xyChain() {
    beginChain(EntryForm::Xy);
    return runChain([this] {
        const float x = strict(Field::SmallX);
        const float y = strict(Field::SmallY);
        const float Y = strict(Field::Y);
        const float z = 1 - x - y;
        if (y == 0)
            throw ArithmeticError("y: must not be 0 (X and Z are X = x Y / y, Z = z Y / y)");
        Xyz xyz{x * Y / y, Y, z * Y / y};
        if (!std::isfinite(xyz.x) || !std::isfinite(xyz.z))
            throw ArithmeticError("x, y: the resulting X or Z is out of range");
        writeField(Field::X, formatPicture(xyz.x, "###.00"));
        writeField(Field::Z, formatPicture(xyz.z, "###.00"));
        labOf(xyz);
        ciemunSteps();
        runXyzrgb(xyz);
        paintSwatch();
    });
}

bool Workbench::labChain() {
    beginChain(EntryForm::Lab);
    return runChain([this] {
        const Lab lab{strict(Field::L), strict(Field::A), strict(Field::B)};
        // Adapting, the entry is a colour under the selected illuminant: the exact inverse of
        // xyzlab gives its XYZ there, which the Munsell search adapts to C as it does any entry.
        Xyz xyz = m_adapt ? labToXyz(lab, m_illuminant) : labxyz(lab);
        if (!m_adapt && (m_illuminant == 1 || m_illuminant == 2)) {
            float xs = 0, ys = 0;
            xyzconvert("B", m_illuminant, xyz, xs, ys);
        }
        writeField(Field::X, formatPicture(xyz.x, "###.00"));
        writeField(Field::Y, formatPicture(xyz.y, "###.00"));
        writeField(Field::Z, formatPicture(xyz.z, "###.00"));
        runXyzrgb(xyz);
        paintSwatch();
        ciemunSteps();
    });
}

void Workbench::writeXyzFields(const Xyz& xyz) {
    writeField(Field::X, plainText(xyz.x));
    writeField(Field::Y, plainText(xyz.y));
    writeField(Field::Z, plainText(xyz.z));
}

bool Workbench::rgbChain() {
    beginChain(EntryForm::Rgb);
    return runChain([this] {
        DisplayRgb rgb{};
        const Field fields[3] = {Field::R, Field::G, Field::Bl};
        for (int i = 0; i < 3; ++i) {
            // Text that is no number is refused, as in every other field; it never reads as 0.
            double read = 0;
            try {
                read = parseStrictNamed(fieldCaption(fields[i]), textUtf8(fields[i]));
            } catch (const Error&) {
                m_badField = fields[i];
                throw;
            }
            std::int16_t v;
            try {
                v = roundToInt16(read);
            } catch (const RangeError&) {
                throw RangeError(std::string(fieldCaption(fields[i])) + ": \"" +
                                 std::string(textUtf8(fields[i])) + "\" is outside -32768..32767");
            }
            rgb[static_cast<std::size_t>(i)] = std::clamp<std::int16_t>(v, 0, 255);
        }
        writeRgbFields(rgb[0], rgb[1], rgb[2]);
        LinearRgb linear = displayToLinear(rgb, rgbSettings());
        m_r = rgb[0];
        m_g = rgb[1];
        m_b = rgb[2];
        // An entered RGB is always a displayable colour: no warning stays under it.
        if (!m_quiet) {
            m_label19.clear();
            m_nearest.reset();
        }
        paintSwatch();
        const Xyz unit = rgbxyz(linear, m_illuminant); // before rgbcmyk raises negatives
        writeCmykFields(rgbcmyk(linear, rgbSettings()));
        Xyz xyz = roundedPercentXyz(unit);
        writeXyzFields(xyz);
        labOf(xyz);
        ciemunSteps();
    });
}

bool Workbench::cmyk() {
    beginChain(EntryForm::Cmyk);
    return runChain([this] {
        Cmyk c{strict(Field::C), strict(Field::M), strict(Field::Ye), strict(Field::K)};
        for (float* v : {&c.c, &c.m, &c.y, &c.k})
            *v = std::clamp(*v / 100.0f, 0.0f, 1.0f);
        const CmykEntry e = cmykrgb(c, m_illuminant, rgbSettings());
        if (e.clipped) m_outOfRange = true;
        writeRgbFields(e.rgb[0], e.rgb[1], e.rgb[2]);
        m_r = e.rgb[0];
        m_g = e.rgb[1];
        m_b = e.rgb[2];
        if (!m_quiet) {
            m_label19 = e.clipped ? QStringLiteral("Out of RGB Range") : QString();
            m_nearest.reset();
        }
        paintSwatch();
        writeXyzFields(e.xyz);
        writeField(Field::L, formatPicture(e.lab.l, "###.00"));
        writeField(Field::A, formatPicture(e.lab.a, "###.00"));
        writeField(Field::B, formatPicture(e.lab.b, "###.00"));
        if (switchOn(Switch::Tolerance)) emit toleranceRefresh(e.lab.l, e.lab.a, e.lab.b);
        ciemunSteps();
    });
}

bool Workbench::enterPressed(Field f) {
    const std::optional<EntryForm> form = formShowing(f);
    if (!form) return true;
    switch (*form) {
    case EntryForm::Munsell:
        return muncie();
    case EntryForm::Xyz:
        return xyzChain();
    case EntryForm::Xy:
        return xyChain();
    case EntryForm::Lab:
        return labChain();
    case EntryForm::Rgb:
        return rgbChain();
    case EntryForm::Cmyk:
        return cmyk();
    }
    return true;
}

bool Workbench::scrollMuncie() {
    const QScopedValueRollback boxless(m_boxless, true);
    return muncie();
}

void Workbench::sliderMoved(Slider s, int position) {
    if (m_guard) return;
    const QScopedValueRollback boxless(m_boxless, true);
    const SliderRange r = sliderRange(s);
    position = std::clamp(position, r.min, r.max);
    m_sliders[static_cast<int>(s)] = position;
    switch (s) {
    case Slider::Hue: {
        float hue = static_cast<float>(position) / 2;
        if (hue == 0) hue = 100;
        if (hue > 100) hue = 1;
        writeField(Field::Hue, hconvert(hue));
        muncie();
        break;
    }
    case Slider::Value:
        if (position < 20) writeField(Field::Value, plainText(static_cast<float>(position) / 2));
        muncie();
        break;
    case Slider::Chroma:
        writeField(Field::Chroma, position);
        muncie();
        break;
    case Slider::R:
    case Slider::G:
    case Slider::B: {
        const Field f = s == Slider::R ? Field::R : s == Slider::G ? Field::G : Field::Bl;
        writeField(f, position);
        rgbChain();
        break;
    }
    case Slider::Tint:
        m_gain = tintGains(position);
        emit tintChanged();
        emit changed();
        break;
    case Slider::Gamma: {
        writeField(Field::Gamma, plainText(static_cast<float>(position) / 10));
        const double gamma = parseStrict(textUtf8(Field::Gamma));
        m_exponent.fill(displayExponent(gamma));
        muncie();
        if (switchOn(Switch::ColorChecker)) emit colorCheckerRefresh();
        break;
    }
    case Slider::Count:
        break;
    }
}

void Workbench::gammaTextChanged(const QString& text) {
    setField(Field::Gamma, text);
    double gamma = 0;
    try {
        gamma = parseStrict(text.toStdString());
    } catch (const Error&) {
        return; // not (yet) a number: slider and exponents stay as they are
    }
    const std::optional<int> pos = gammaSliderPosition(gamma);
    if (pos && *pos != slider(Slider::Gamma)) sliderMoved(Slider::Gamma, *pos);
}

void Workbench::selectIlluminant(int index) {
    if (index < 0 || index > 2) return;
    m_illuminant = index;
    m_label1 = qs(std::string(kIlluminants[static_cast<std::size_t>(index)].statusCaption));
    muncie();
}

void Workbench::setPwd(int state) {
    m_pwd = state;
    emit changed();
}

void Workbench::setSwitch(Switch s, bool on) {
    m_switches[static_cast<int>(s)] = on;
    emit switchChanged(s, on);
    if (!on) return;
    try {
        switch (s) {
        case Switch::HuePage:
            emit huePageRefresh();
            break;
        case Switch::Tolerance:
            emit toleranceRefresh(strict(Field::L), strict(Field::A), strict(Field::B));
            break;
        case Switch::ValuePage:
            emit valuePageRefresh(strict(Field::Value));
            break;
        case Switch::ColorChecker:
            emit colorCheckerRefresh();
            break;
        case Switch::ImageAnalysis:
        case Switch::Viewer:
        case Switch::Spectral:
        case Switch::QualityControl:
        case Switch::Count:
            break;
        }
    } catch (const Error& e) {
        reportFailure(QString::fromStdString(e.what())); // the window shows, the set is not drawn
    }
}

void Workbench::swatchPressed(int r, int g, int b) {
    writeRgbFields(r, g, b);
    emit changed();
    const bool extreme = r == 0 || g == 0 || b == 0 || r == 255 || g == 255 || b == 255;
    if (!extreme) rgbChain();
}

std::array<int, 3> Workbench::tintBackground() const {
    return {static_cast<int>(std::lround(200 * m_gain[0])),
            static_cast<int>(std::lround(200 * m_gain[1])),
            static_cast<int>(std::lround(200 * m_gain[2]))};
}

std::array<int, 3> Workbench::tintFieldBackground() const {
    return {static_cast<int>(std::lround(255 * m_gain[0])),
            static_cast<int>(std::lround(255 * m_gain[1])),
            static_cast<int>(std::lround(255 * m_gain[2]))};
}

std::string_view Workbench::munsellNoteUtf8() const {
    return m_munsellNote.isEmpty() ? std::string_view() : std::string_view(kExtrapolatedNote);
}

namespace {

// The display channel a field holds, as fieldRgb reads it; a plain whole number, which every
// chain writes, without the general reading.
std::int16_t channelOf(std::string_view text) {
    const bool plain =
        !text.empty() && text.size() <= 3 && (text[0] != '0' || text.size() == 1) &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!plain) return std::clamp<std::int16_t>(roundToInt16(parseStrict(text)), 0, 255);
    int v = 0;
    for (char c : text)
        v = v * 10 + (c - '0');
    return static_cast<std::int16_t>(std::min(v, 255));
}

constexpr Field kRecordColourFields[] = {Field::Hue, Field::Value, Field::Chroma,
                                         Field::X,   Field::Y,     Field::Z,
                                         Field::L,   Field::A,     Field::B};
constexpr Field kRecordRgbCmykFields[] = {Field::R, Field::G,  Field::Bl, Field::C,
                                          Field::M, Field::Ye, Field::K};

} // namespace

std::string Workbench::paletteRecord(std::string& line, LinearTexts* linear) const {
    std::array<std::string, 3> made;
    std::array<const std::string*, 3> linearText{};
    try {
        const DisplayRgb rgb = {channelOf(textUtf8(Field::R)), channelOf(textUtf8(Field::G)),
                                channelOf(textUtf8(Field::Bl))};
        bool known = linear != nullptr;
        for (std::size_t i = 0; i < 3 && known; ++i) {
            linearText[i] = &linear->text[i][static_cast<std::size_t>(rgb[i])];
            known = !linearText[i]->empty();
        }
        if (!known) {
            // Each linear value depends on its own channel alone.
            const LinearRgb values = displayToLinear(rgb, rgbSettings());
            for (std::size_t i = 0; i < 3; ++i) {
                std::string& text =
                    linear ? linear->text[i][static_cast<std::size_t>(rgb[i])] : made[i];
                text.clear();
                appendPlainText(text, values[i]);
                linearText[i] = &text;
            }
        }
    } catch (const Error& e) {
        return e.what();
    }
    for (Field f : kRecordColourFields)
        appendPaletteItem(line, textUtf8(f));
    for (const std::string* text : linearText) {
        line += ',';
        line += *text;
    }
    for (Field f : kRecordRgbCmykFields)
        appendPaletteItem(line, textUtf8(f));
    line += "\r\n";
    return {};
}

bool Workbench::notSaved() {
    setMessage("Not saved", false);
    emit changed();
    return false;
}

bool Workbench::SaveData(float mode) {
    for (;;) {
        if (m_paletteFile.isEmpty()) {
            m_paletteFile = askPaletteFile(
                m_dialogs, "Save Palette Data",
                m_lastPalette.isEmpty() ? "ZULpalette.csv" : m_lastPalette, PaletteWrite::Append);
            if (m_paletteFile.isEmpty()) return notSaved();
            m_lastPalette = m_paletteFile;
        }
        if (mode != 0) break;
        const QString tag = m_dialogs.prompt("Palette " + m_paletteFile +
                                                 " - Enter Tag [Enter 'file' to change file name]",
                                             "Palette File Save - TAG");
        if (tag.isNull()) return notSaved(); // Cancel or a closed box; an empty tag is a tag
        m_tag = tag;
        if (m_tag.toLower() != "file") break;
        m_paletteFile.clear();
    }
    m_paletteFile = withPaletteSuffix(m_paletteFile);

    DisplayRgb rgb{};
    try {
        const Field fields[3] = {Field::R, Field::G, Field::Bl};
        for (int i = 0; i < 3; ++i)
            rgb[static_cast<std::size_t>(i)] =
                std::clamp<std::int16_t>(roundToInt16(strict(fields[i])), 0, 255);
    } catch (const Error& e) {
        reportFailure("Nothing saved to " + wholePath(m_paletteFile) + ": " +
                      QString::fromStdString(e.what()));
        return false;
    }
    m_r = rgb[0];
    m_g = rgb[1];
    m_b = rgb[2];
    m_guard = true;
    m_sliders[static_cast<int>(Slider::R)] = m_r;
    m_sliders[static_cast<int>(Slider::G)] = m_g;
    m_sliders[static_cast<int>(Slider::B)] = m_b;
    m_guard = false;

    std::string line;
    line.reserve(192);
    appendPaletteDateTime(line, QDateTime::currentDateTime());
    appendPaletteText(line, m_tag);
    if (const std::string failure = paletteRecord(line); !failure.empty()) {
        reportFailure("Nothing saved to " + wholePath(m_paletteFile) + ": " +
                      QString::fromStdString(failure));
        return false;
    }

    // The name is held: a wait for the palette's lock lets other events run.
    const QString name = m_paletteFile;
    const QFileInfo info(name);
    const qint64 before = info.exists() ? info.size() : 0;
    const QString failure =
        appendPaletteLine(name, QByteArray(line.data(), static_cast<qsizetype>(line.size())));
    if (!failure.isEmpty()) {
        m_paletteFile.clear(); // asked for again at the next save
        m_savedSize = -1;
        reportFailure("Cannot save to palette file " + wholePath(name) + ": " + failure);
        emit changed();
        return false;
    }
    // Where the record went. The count is kept while only this workbench appends to the file.
    const QString path = QFileInfo(name).absoluteFilePath();
    if (path == m_savedFile && before == m_savedSize)
        ++m_savedRecords;
    else
        m_savedRecords = countPaletteRecords(path);
    m_savedFile = path;
    m_savedSize = QFileInfo(path).size();
    setMessage(QStringLiteral("Saved to %1, record %2")
                   .arg(QDir::toNativeSeparators(path))
                   .arg(m_savedRecords),
               false);
    emit changed();
    return true;
}

bool Workbench::savePressed() {
    if (anyStale() &&
        !m_dialogs.confirm("The fields do not show one colour. Save anyway?", "Save to Palette"))
        return false;
    const bool saved = SaveData(0);
    if (saved && switchOn(Switch::Viewer)) emit viewerReload();
    return saved;
}

} // namespace zul
