#include "batch/records.h"

#include "munsell/notation.h"
#include "records/csvline.h"
#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zul::batch {

namespace {

std::string countReason(std::size_t expected, const char* what, std::size_t got) {
    return "expected " + std::to_string(expected) + " fields (" + what + "), got " +
           std::to_string(got);
}

constexpr std::size_t kAllFields = std::numeric_limits<std::size_t>::max();

// The fields of a line with a record's few fields: the first kKept as views (quoted ones undone
// in `unquoted`), and how many there are once the empty ones after the `expected` are dropped (a
// spreadsheet's trailing commas carry nothing; kAllFields keeps them).
struct LineFields {
    static constexpr std::size_t kKept = 8;
    std::array<std::string_view, kKept> views;
    std::array<std::string, kKept> unquoted;
    std::size_t count = 0;

    LineFields(const LineFields&) = delete; // views into its own strings
    LineFields& operator=(const LineFields&) = delete;
    LineFields(std::string_view line, std::size_t expected) {
        std::size_t pos = 0;
        std::size_t total = 0;
        std::size_t lastFilled = 0; // one past the last non-empty field
        std::string_view field;
        std::string spare;
        while (zul::nextCsvField(line, pos, field, total < kKept ? unquoted[total] : spare)) {
            if (total < kKept) views[total] = field;
            if (!field.empty()) lastFilled = total + 1;
            ++total;
        }
        count = total > expected ? std::max(expected, lastFilled) : total;
    }
};

void assign(std::string& to, std::string_view from) {
    to.assign(from.data(), from.size());
}

// `free` text fields, then three plain fields.
std::string readPlainFields(std::string_view line, std::size_t free, Record& r, const char* what) {
    const LineFields fields(line, free + 3);
    if (fields.count != free + 3) return countReason(free + 3, what, fields.count);
    r.free.resize(free);
    for (std::size_t i = 0; i < free; ++i)
        assign(r.free[i], fields.views[i]);
    for (std::size_t i = 0; i < 3; ++i)
        assign(r.colour[i], fields.views[free + i]);
    return {};
}

// `free` text fields, then hue, value and chroma as three fields or as one notation.
std::string readMunsellFields(std::string_view line, std::size_t free, Record& r,
                              const char* what) {
    const LineFields fields(line, free + 3);
    r.notation = false;
    if (fields.count == free + 1) {
        auto parts = splitMunsellNotation(fields.views[free]);
        if (!parts) return countReason(free + 3, what, fields.count);
        r.colour = {std::move(parts->hue), std::move(parts->value), std::move(parts->chroma)};
        r.notation = true;
    } else if (fields.count == free + 3) {
        for (std::size_t i = 0; i < 3; ++i)
            assign(r.colour[i], fields.views[free + i]);
    } else {
        return countReason(free + 3, what, fields.count);
    }
    r.free.resize(free);
    for (std::size_t i = 0; i < free; ++i)
        assign(r.free[i], fields.views[i]);
    return {};
}

std::string readSteps(std::string_view line, Record& r) {
    const LineFields fields(line, kAllFields);
    if (fields.count != 1)
        return "expected hue, value and chroma separated by tabs and no comma, got " +
               std::to_string(fields.count) + " comma-separated fields";
    const std::string_view text = fields.views[0];
    const std::size_t tab1 = text.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : text.find('\t', tab1 + 1);
    r.free.clear();
    r.notation = false;
    if (tab1 == std::string::npos) {
        auto parts = splitMunsellNotation(text);
        if (!parts) return "expected hue, value and chroma separated by two tabs";
        r.colour = {std::move(parts->hue), std::move(parts->value), std::move(parts->chroma)};
        r.notation = true;
        return {};
    }
    if (tab2 == std::string::npos) return "expected hue, value and chroma separated by two tabs";
    if (text.find('\t', tab2 + 1) != std::string::npos)
        return "expected hue, value and chroma separated by two tabs, got more tabs";
    assign(r.colour[0], text.substr(0, tab1));
    assign(r.colour[1], text.substr(tab1 + 1, tab2 - tab1 - 1));
    assign(r.colour[2], text.substr(tab2 + 1));
    return {};
}

std::string readSpectral(std::string_view line, Record& r) {
    r.free.resize(3);
    std::size_t pos = 0;
    std::size_t got = 0;
    std::string_view field;
    std::string unquoted;
    for (std::size_t i = 0; i < 3; ++i, ++got) {
        if (!zul::nextCsvField(line, pos, field, unquoted))
            return countReason(43, "3 texts, 40 reflectances", got);
        assign(r.free[i], field);
    }
    for (std::size_t i = 0; i < r.reflectance.size(); ++i, ++got) {
        if (!zul::nextCsvField(line, pos, field, unquoted))
            return countReason(43, "3 texts, 40 reflectances", got);
        auto where = [&] {
            return std::to_string(kFirstWavelengthNm + kWavelengthStepNm * static_cast<int>(i)) +
                   " nm: \"" + std::string(field) + "\"";
        };
        try {
            const double v = parseStrict(field);
            // A reflectance beyond the single-precision range would become infinite.
            if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max()))
                return where() + " is out of range";
            r.reflectance[i] = static_cast<float>(v);
        } catch (const Error&) {
            return where() + " is not a number";
        }
    }
    if (pos == std::string_view::npos)
        r.rest.clear();
    else
        assign(r.rest, line.substr(pos));
    r.notation = false;
    return {};
}

} // namespace

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool nextCsvField(std::string_view line, std::size_t& pos, std::string& field) {
    std::string_view view;
    std::string unquoted;
    const bool got = zul::nextCsvField(line, pos, view, unquoted);
    field.assign(view.data(), view.size());
    return got;
}

std::string readRecord(const Job& job, std::string_view line, Record& record) {
    switch (job.id) {
    case JobId::Steps:
        return readSteps(line, record);
    case JobId::Spectral:
        return readSpectral(line, record);
    case JobId::Xyz:
        return readPlainFields(line, 1, record, "tag, X, Y, Z");
    case JobId::Lab:
        return readPlainFields(line, 0, record, "L*, a*, b*");
    case JobId::Munsell:
        return readMunsellFields(line, 0, record, "hue, value, chroma");
    case JobId::Checker:
        return readMunsellFields(line, 2, record, "2 texts, hue, value, chroma");
    case JobId::Chart:
        return readMunsellFields(line, 3, record, "3 texts, hue, value, chroma");
    }
    return "unknown job";
}

bool isWellFormedRecord(const Job& job, std::string_view line) {
    Record r;
    if (!readRecord(job, line, r).empty()) return false;
    if (job.chain == Chain::Munsell) {
        if (r.notation) return true;
        const bool hue = isHueNotation(r.colour[0]) || isNeutralHue(r.colour[0]);
        return hue && isNumber(r.colour[1]) && isNumber(r.colour[2]);
    }
    if (job.chain == Chain::Spectral) return true; // its 40 numbers were read as numbers
    return isNumber(r.colour[0]) && isNumber(r.colour[1]) && isNumber(r.colour[2]);
}

} // namespace zul::batch
