#include "batch/convert.h"

#include "colorimetry/rgb.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "records/csvline.h"
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

bool appendPaletteRecord(std::string& out, const Workbench& wb, std::string_view tag,
                         std::string_view date, std::string_view time) {
    LinearRgb linear{};
    try {
        linear = displayToLinear(fieldRgb(wb), wb.rgbSettings());
    } catch (const Error&) {
        return false;
    }
    out += '"';
    out.append(date);
    out += "\",\"";
    out.append(time);
    out += '"';
    appendPaletteItem(out, tag);
    for (Field f : {Field::Hue, Field::Value, Field::Chroma, Field::X, Field::Y, Field::Z, Field::L,
                    Field::A, Field::B})
        appendPaletteItem(out, wb.textUtf8(f));
    for (float v : linear) {
        out += ',';
        appendPlainText(out, v);
    }
    for (Field f : {Field::R, Field::G, Field::Bl, Field::C, Field::M, Field::Ye, Field::K})
        appendPaletteItem(out, wb.textUtf8(f));
    out += "\r\n";
    return true;
}

RecordConverter::RecordConverter(std::shared_ptr<const RenotationTable> table, const Job& job,
                                 const Workbench::Options& options)
    : m_job(job), m_wb(std::move(table), m_dialogs) {
    m_wb.applyOptions(options);
    m_wb.setQuiet(job.quiet);
}

bool RecordConverter::enter(const Record& r) {
    m_wb.clearEntries();
    m_dialogs.clear();
    switch (m_job.chain) {
    case Chain::Munsell:
        m_wb.setTextUtf8(Field::Hue, r.colour[0]);
        m_wb.setTextUtf8(Field::Value, r.colour[1]);
        m_wb.setTextUtf8(Field::Chroma, r.colour[2]);
        return m_wb.muncie();
    case Chain::Lab:
        m_wb.setTextUtf8(Field::L, r.colour[0]);
        m_wb.setTextUtf8(Field::A, r.colour[1]);
        m_wb.setTextUtf8(Field::B, r.colour[2]);
        return m_wb.labChain();
    case Chain::Xyz:
    case Chain::Spectral: {
        if (m_job.chain == Chain::Spectral) {
            m_wb.reflectance() = r.reflectance;
            try {
                const Xyz xyz = tris(r.reflectance, m_wb.weights());
                for (auto [f, v] : {std::pair{Field::X, xyz.x}, std::pair{Field::Y, xyz.y},
                                    std::pair{Field::Z, xyz.z}}) {
                    m_number.clear();
                    appendPlainText(m_number, v);
                    m_wb.setTextUtf8(f, m_number);
                }
            } catch (const Error& e) {
                m_dialogs.message(QString::fromUtf8(e.what()), {}, Dialogs::Buttons::Ok);
                return false;
            }
        } else {
            m_wb.setTextUtf8(Field::X, r.colour[0]);
            m_wb.setTextUtf8(Field::Y, r.colour[1]);
            m_wb.setTextUtf8(Field::Z, r.colour[2]);
        }
        if (!m_wb.xyzChain()) return false;
        // X + Y + Z = 0 leaves no Munsell notation: nothing to show, so nothing converted.
        if (m_wb.textUtf8(Field::Hue).empty()) {
            m_dialogs.message("X + Y + Z is 0: no Munsell notation", {}, Dialogs::Buttons::Ok);
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
    outcome.converted = enter(r);
    if (!m_dialogs.messages().isEmpty()) {
        outcome.reason = m_dialogs.messages().join("; ").toStdString();
        outcome.warning = outcome.converted;
    }
    if (outcome.converted) {
        const auto rgb = m_wb.displayRgb();
        outcome.notDisplayed =
            std::any_of(rgb.begin(), rgb.end(), [](int c) { return c == 0 || c == 255; });
    }
    if (m_job.id == JobId::Xyz) {
        if (outcome.converted && !appendPaletteRecord(palette, m_wb, r.free[0], date, time)) {
            outcome.converted = false;
            outcome.reason = "R, G or B is not a number";
        }
        return outcome;
    }
    composeLine(r, recordNumber, outcome.converted, out);
    return outcome;
}

void RecordConverter::composeLine(const Record& r, std::int64_t recordNumber, bool ok,
                                  std::string& out) {
    auto field = [&](Field f) {
        if (ok) appendCsvField(out, m_wb.textUtf8(f));
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
        const auto rgb = m_wb.displayRgb();
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
            zoneText(ok ? m_wb.textUtf8(f) : std::string_view());
        const Reflectance& refl = r.reflectance;
        // X, Y, Z come from the reflectances, whether or not a notation was found for them.
        Xyz xyz{};
        bool measured = true;
        try {
            xyz = tris(refl, m_wb.weights());
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
