#include "batch/convert.h"

#include "colorimetry/rgb.h"
#include "records/csvline.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/palette.h"

#include <algorithm>
#include <utility>

namespace zul::batch {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kResultNames = ",X,Y,Z,L*,a*,b*,R,G,B";
constexpr std::size_t kZone = 14; // print zone width of the zoned output

void appendField(std::string& out, const std::string& text) {
    appendCsvField(out, std::string_view(text));
}

// Pads to the start of the next print zone, at least one blank after what is there.
void nextZone(std::string& out, std::size_t lineStart) {
    const std::size_t column = out.size() - lineStart;
    out.append((column / kZone + 1) * kZone - column, ' ');
}

} // namespace

std::string illuminantNote(const Workbench::Options& options) {
    static const char* const names[] = {"illuminant C and the 2 degree observer",
                                        "illuminant D50 and the 2 degree observer",
                                        "illuminant D65 and the 10 degree observer"};
    std::string note = names[std::clamp(options.illuminant, 0, 2)];
    if (options.pwd == 1) note += ", luminance relative to the perfect diffuser (PWD)";
    return note;
}

std::string headingLines(const Job& job, std::string_view inputHeading,
                         const Workbench::Options& options) {
    std::string h;
    switch (job.id) {
    case JobId::Lab:
        h = "#,Hue,Value,Chroma,X,Y,Z,L*,a*,b*,R,G,B\r\n";
        break;
    case JobId::Steps:
        h = "H,V,C,X,Y,Z,L*,a*,b*,R,G,B\r\n";
        break;
    case JobId::Checker:
        h = std::string(kWindowCaption) +
            " ColorChecker reference data: Munsell notations of the 24 patches as published with "
            "the chart, converted for reference and teaching use only\r\n";
        h += "An R, G or B of 0 or 255 marks a colour outside the display gamut: its RGB is an "
             "approximation. Data for " +
             illuminantNote(options) + "\r\n";
        h.append(inputHeading);
        h.append(kResultNames);
        h += kCrLf;
        break;
    case JobId::Chart: {
        h = std::string(kWindowCaption) + "\r\n";
        std::vector<std::string> fields;
        splitCsvLine(inputHeading, fields);
        fields.resize(3);
        for (std::size_t i = 0; i < 3; ++i) {
            if (i) h += ',';
            appendField(h, fields[i]);
        }
        h.append(kResultNames);
        h += kCrLf;
        break;
    }
    case JobId::Spectral:
        h = std::string(kWindowCaption) + "\r\n";
        break;
    case JobId::Xyz:
    case JobId::Munsell:
        break;
    }
    return h;
}

void appendNumber(std::string& out, float value) {
    appendSignedText(out, value);
    out += ' ';
}

RecordConverter::RecordConverter(std::shared_ptr<const RenotationTable> table, const Job& job,
                                 const Workbench::Options& options)
    : m_job(job), m_converter(std::move(table), options, job.quiet) {}

bool RecordConverter::enter(const Record& r, std::string& extra) {
    m_ran = true;
    const auto colour = [&r](std::size_t i) { return std::string_view(r.colour[i]); };
    switch (m_job.chain) {
    case Chain::Munsell:
        return m_converter.convert(EntryForm::Munsell, {colour(0), colour(1), colour(2)});
    case Chain::Lab:
        return m_converter.convert(EntryForm::Lab, {colour(0), colour(1), colour(2)});
    case Chain::Xyz:
    case Chain::Spectral: {
        bool ok = false;
        if (m_job.chain == Chain::Spectral) {
            Xyz xyz{};
            try {
                xyz = tris(r.reflectance, m_converter.weights());
            } catch (const Error& e) {
                extra = e.what();
                m_ran = false; // the converter's boxes are the last record's
                return false;
            }
            std::array<std::string, 3>& texts = m_numbers;
            for (std::size_t i = 0; i < 3; ++i) {
                texts[i].clear();
                appendPlainText(texts[i], i == 0 ? xyz.x : i == 1 ? xyz.y : xyz.z);
            }
            ok = m_converter.convert(EntryForm::Xyz, {texts[0], texts[1], texts[2]});
        } else {
            ok = m_converter.convert(EntryForm::Xyz, {colour(0), colour(1), colour(2)});
        }
        if (!ok) return false;
        // X + Y + Z = 0 leaves no Munsell notation: nothing to show, so nothing converted.
        if (m_converter.text(Field::Hue).empty()) {
            extra = "X + Y + Z is 0: no Munsell notation";
            return false;
        }
        return true;
    }
    }
    return false;
}

RecordOutcome RecordConverter::convert(const Record& r, std::int64_t recordNumber, std::string& out,
                                       std::string& palette, std::string_view date,
                                       std::string_view time) {
    RecordOutcome outcome;
    std::string extra;
    outcome.converted = enter(r, extra);
    if ((m_ran && !m_converter.boxes().isEmpty()) || !extra.empty()) {
        outcome.reason = m_ran ? m_converter.boxesText() : std::string();
        if (!extra.empty()) outcome.reason += (outcome.reason.empty() ? "" : "; ") + extra;
        outcome.warning = outcome.converted;
    }
    if (outcome.converted) {
        const auto rgb = m_converter.displayRgb();
        outcome.notDisplayed =
            std::any_of(rgb.begin(), rgb.end(), [](int c) { return c == 0 || c == 255; });
    }
    if (m_job.id == JobId::Xyz) {
        if (outcome.converted) {
            const std::size_t start = palette.size();
            palette += '"';
            palette.append(date);
            palette += "\",\"";
            palette.append(time);
            palette += '"';
            appendPaletteItem(palette, r.free[0]);
            if (!m_converter.appendPaletteRecord(palette).empty()) {
                palette.resize(start);
                outcome.converted = false;
                outcome.reason = "R, G or B is not a number";
            }
        }
        return outcome;
    }
    composeLine(r, recordNumber, outcome.converted, out);
    return outcome;
}

void RecordConverter::composeLine(const Record& r, std::int64_t recordNumber, bool ok,
                                  std::string& out) {
    auto field = [&](Field f) {
        if (ok) appendCsvField(out, m_converter.text(f));
    };
    auto tail = [&] {
        for (Field f : {Field::X, Field::Y, Field::Z}) {
            out += ',';
            field(f);
        }
        // A CIELAB record that did not convert keeps the L*, a*, b* it gave.
        const bool labAsRead = !ok && m_job.chain == Chain::Lab;
        int i = 0;
        for (Field f : {Field::L, Field::A, Field::B}) {
            out += ',';
            if (labAsRead)
                appendField(out, r.colour[static_cast<std::size_t>(i)]);
            else
                field(f);
            ++i;
        }
        const auto rgb = m_converter.displayRgb();
        for (int c : rgb) {
            out += ',';
            if (ok) appendNumber(out, static_cast<float>(c));
        }
    };
    auto colourAsRead = [&] {
        for (std::size_t i = 0; i < 3; ++i) {
            if (i) out += ',';
            appendField(out, r.colour[i]);
        }
    };
    auto freeFields = [&] {
        for (const std::string& f : r.free) {
            appendField(out, f);
            out += ',';
        }
    };

    switch (m_job.id) {
    case JobId::Lab:
        // A whole number in line writing; counted in 64 bits, so never in exponent form.
        out += ' ';
        out += std::to_string(recordNumber);
        out += ' ';
        for (Field f : {Field::Hue, Field::Value, Field::Chroma}) {
            out += ',';
            field(f);
        }
        tail();
        break;
    case JobId::Munsell:
        colourAsRead();
        tail();
        for (Field f : {Field::C, Field::M, Field::Ye, Field::K}) {
            out += ',';
            field(f);
        }
        break;
    case JobId::Steps:
    case JobId::Checker:
        freeFields();
        colourAsRead();
        tail();
        break;
    case JobId::Chart:
        freeFields();
        out.pop_back(); // the hue, value and chroma are used, not repeated
        tail();
        break;
    case JobId::Spectral: {
        const std::size_t start = out.size();
        bool first = true;
        auto zoneText = [&](const auto& text) {
            if (!first) nextZone(out, start);
            first = false;
            appendCsvField(out, text);
        };
        auto zoneNumber = [&](float v, bool show) {
            if (!first) nextZone(out, start);
            first = false;
            if (show) appendNumber(out, v);
        };
        for (const std::string& f : r.free)
            zoneText(f);
        for (Field f : {Field::Hue, Field::Value, Field::Chroma})
            zoneText(ok ? m_converter.text(f) : std::string_view());
        const Reflectance& refl = r.reflectance;
        // X, Y, Z come from the reflectances, whether or not a notation was found for them.
        Xyz xyz{};
        bool measured = true;
        try {
            xyz = tris(refl, m_converter.weights());
        } catch (const Error&) {
            measured = false;
        }
        zoneNumber(xyz.x, measured);
        zoneNumber(xyz.y, measured);
        zoneNumber(xyz.z, measured);
        zoneText(r.rest);
        for (float v : refl)
            zoneNumber(v, true);
        break;
    }
    case JobId::Xyz:
        return;
    }
    out += kCrLf;
}

} // namespace zul::batch
