#include "batch/records.h"

#include "munsell/notation.h"
#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/csvline.h"

#include <cmath>
#include <limits>

namespace zul::batch {

namespace {

std::string countReason(std::size_t expected, const char* what, std::size_t got) {
    return "expected " + std::to_string(expected) + " fields (" + what + "), got " +
           std::to_string(got);
}

// Empty fields after the last expected one carry nothing: a spreadsheet's trailing commas.
void dropTrailingEmpties(std::vector<std::string>& fields, std::size_t expected) {
    while (fields.size() > expected && fields.back().empty())
        fields.pop_back();
}

// `free` text fields, then hue, value and chroma as three fields or as one notation.
std::string readMunsellFields(std::vector<std::string>& fields, std::size_t free, Record& r,
                              const char* what) {
    dropTrailingEmpties(fields, free + 3);
    r.notation = false;
    if (fields.size() == free + 1) {
        const auto parts = splitMunsellNotation(fields[free]);
        if (!parts) return countReason(free + 3, what, fields.size());
        r.colour = {parts->hue, parts->value, parts->chroma};
        r.notation = true;
    } else if (fields.size() == free + 3) {
        for (std::size_t i = 0; i < 3; ++i)
            r.colour[i] = std::move(fields[free + i]);
    } else {
        return countReason(free + 3, what, fields.size());
    }
    fields.resize(free);
    r.free.swap(fields);
    return {};
}

std::string readPlainFields(std::vector<std::string>& fields, std::size_t free, Record& r,
                            const char* what) {
    dropTrailingEmpties(fields, free + 3);
    if (fields.size() != free + 3) return countReason(free + 3, what, fields.size());
    for (std::size_t i = 0; i < 3; ++i)
        r.colour[i] = std::move(fields[free + i]);
    fields.resize(free);
    r.free.swap(fields);
    return {};
}

std::string readSteps(std::string_view line, Record& r) {
    std::vector<std::string> fields;
    splitCsvLine(line, fields);
    if (fields.size() != 1)
        return "expected hue, value and chroma separated by tabs and no comma, got " +
               std::to_string(fields.size()) + " comma-separated fields";
    const std::string& text = fields[0];
    const std::size_t tab1 = text.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : text.find('\t', tab1 + 1);
    r.free.clear();
    r.notation = false;
    if (tab1 == std::string::npos) {
        const auto parts = splitMunsellNotation(text);
        if (!parts) return "expected hue, value and chroma separated by two tabs";
        r.colour = {parts->hue, parts->value, parts->chroma};
        r.notation = true;
        return {};
    }
    if (tab2 == std::string::npos) return "expected hue, value and chroma separated by two tabs";
    if (text.find('\t', tab2 + 1) != std::string::npos)
        return "expected hue, value and chroma separated by two tabs, got more tabs";
    r.colour = {text.substr(0, tab1), text.substr(tab1 + 1, tab2 - tab1 - 1),
                text.substr(tab2 + 1)};
    return {};
}

std::string readSpectral(std::string_view line, Record& r) {
    r.free.resize(3);
    std::size_t pos = 0;
    std::size_t got = 0;
    std::string field;
    for (std::size_t i = 0; i < 3; ++i, ++got)
        if (!nextCsvField(line, pos, r.free[i]))
            return countReason(43, "3 texts, 40 reflectances", got);
    for (std::size_t i = 0; i < r.reflectance.size(); ++i, ++got) {
        if (!nextCsvField(line, pos, field))
            return countReason(43, "3 texts, 40 reflectances", got);
        auto where = [&] {
            return std::to_string(kFirstWavelengthNm + kWavelengthStepNm * static_cast<int>(i)) +
                   " nm: \"" + field + "\"";
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
    r.rest = pos == std::string_view::npos ? std::string() : std::string(line.substr(pos));
    r.notation = false;
    return {};
}

} // namespace

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool nextCsvField(std::string_view line, std::size_t& pos, std::string& field) {
    field.clear();
    if (pos == std::string_view::npos || pos > line.size()) return false;
    if (pos == 0 && isBlankLine(line)) return false;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    std::size_t comma;
    if (pos < line.size() && line[pos] == '"') {
        std::size_t i = pos + 1;
        for (;;) {
            const std::size_t quote = line.find('"', i);
            if (quote == std::string_view::npos) {
                field.append(line.substr(i));
                i = line.size();
                break;
            }
            field.append(line.substr(i, quote - i));
            if (quote + 1 < line.size() && line[quote + 1] == '"') {
                field += '"';
                i = quote + 2;
                continue;
            }
            i = quote + 1;
            break;
        }
        comma = line.find(',', i);
    } else {
        comma = line.find(',', pos);
        field.append(trimBlanks(line.substr(pos, comma - pos)));
    }
    pos = comma == std::string_view::npos ? comma : comma + 1;
    return true;
}

std::string readRecord(const Job& job, std::string_view line, Record& record) {
    if (job.id == JobId::Steps) return readSteps(line, record);
    if (job.id == JobId::Spectral) return readSpectral(line, record);
    std::vector<std::string> fields;
    splitCsvLine(line, fields);
    switch (job.id) {
    case JobId::Xyz:
        return readPlainFields(fields, 1, record, "tag, X, Y, Z");
    case JobId::Lab:
        return readPlainFields(fields, 0, record, "L*, a*, b*");
    case JobId::Munsell:
        return readMunsellFields(fields, 0, record, "hue, value, chroma");
    case JobId::Checker:
        return readMunsellFields(fields, 2, record, "2 texts, hue, value, chroma");
    case JobId::Chart:
        return readMunsellFields(fields, 3, record, "3 texts, hue, value, chroma");
    case JobId::Steps:
    case JobId::Spectral:
        break;
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
