#include "records/cgats.h"

#include "records/csvline.h"
#include "records/safefiles.h"
#include "text/numtext.h"

#include <lcms2.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace zul {

namespace {

// A context whose error handler keeps the last message, and the IT8 handle on it.
class It8 {
public:
    It8() : m_context(cmsCreateContext(nullptr, this)) {
        cmsSetLogErrorHandlerTHR(m_context, [](cmsContext c, cmsUInt32Number, const char* text) {
            static_cast<It8*>(cmsGetContextUserData(c))->m_error = tidied(text ? text : "");
        });
    }
    ~It8() {
        if (m_handle) cmsIT8Free(m_handle);
        if (m_context) cmsDeleteContext(m_context);
    }
    It8(const It8&) = delete;
    It8& operator=(const It8&) = delete;

    cmsContext context() const { return m_context; }
    cmsHANDLE handle() const { return m_handle; }
    void setHandle(cmsHANDLE h) { m_handle = h; }
    std::string error() const { return m_error.empty() ? "not a CGATS file" : m_error; }

private:
    // The parser's messages start with the name of the file it was given (none: it reads from
    // memory) and some end in a line break: ": Line 4, Count mismatch...\n" reads
    // "Line 4, Count mismatch..." after the input's name that callers put in front.
    static std::string tidied(std::string_view text) {
        if (text.starts_with(": ")) text.remove_prefix(2);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.remove_suffix(1);
        return std::string(text);
    }

    cmsContext m_context;
    cmsHANDLE m_handle = nullptr;
    std::string m_error;
};

// Every CGATS input is parsed here, so what is refused is refused for every reader.
void load(It8& it8, std::string_view cgats) {
    // The CGATS parser must not be handed an empty block (it stops the program).
    if (cgats.empty()) throw CgatsParseError("the CGATS file is empty");
    // The parser follows .INCLUDE to any file, FIFOs and secrets included.
    if (hasCgatsInclude(cgats)) throw CgatsParseError(kCgatsIncludeRefused);
    it8.setHandle(
        cmsIT8LoadFromMem(it8.context(), cgats.data(), static_cast<cmsUInt32Number>(cgats.size())));
    if (!it8.handle()) throw CgatsParseError(it8.error());
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

int spectralFieldWavelength(std::string_view field) {
    const std::string f = upper(std::string(field));
    for (const char* prefix :
         {"SPECTRAL_NM_", "SPECTRAL_NM", "SPECTRAL_", "SPEC_", "NM_", "NM", "R"}) {
        const std::string p = prefix;
        if (f.rfind(p, 0) != 0) continue;
        const std::string rest = f.substr(p.size());
        // Three or four digits: a longer run names no wavelength (and would overflow an int).
        if (rest.size() < 3 || rest.size() > 4 ||
            !std::all_of(rest.begin(), rest.end(),
                         [](unsigned char c) { return std::isdigit(c) != 0; }))
            return 0;
        return std::stoi(rest);
    }
    return 0;
}

namespace {

// The data hold at most as many sets as declared; a count beyond an int (or not a number) reads
// none rather than converting out of range.
int setCount(cmsHANDLE h) {
    const double declared = cmsIT8GetPropertyDbl(h, "NUMBER_OF_SETS");
    return declared >= 1 && declared < 1e9 ? static_cast<int>(declared) : 0;
}

// A whole cell as a number, read with the point whatever the user's locale (the window and the
// commands run under it, and strtod would stop at "80.38" under a decimal comma).
std::optional<double> cellNumber(std::string_view text) {
    if (text.starts_with('+')) text.remove_prefix(1);
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

// A factor as percent, in the fewest digits that read back as the same number (as "%.12g").
std::string percentText(const std::string& factor) {
    const std::optional<double> v = cellNumber(factor);
    if (!v || !std::isfinite(*v)) return factor;
    char buf[32];
    const auto [end, error] =
        std::to_chars(buf, buf + sizeof buf, *v * 100, std::chars_format::general, 12);
    return error == std::errc() ? std::string(buf, end) : factor;
}

} // namespace

std::string cgatsToRecords(CgatsRecords kind, std::string_view cgats) {
    It8 it8;
    load(it8, cgats);
    cmsHANDLE h = it8.handle();

    char** names = nullptr;
    const int fields = cmsIT8EnumDataFormat(h, &names);
    auto column = [&](const char* name) {
        for (int i = 0; i < fields; ++i)
            if (names && names[i] && upper(names[i]) == name) return i;
        return -1;
    };
    std::vector<int> columns;
    auto need = [&](const char* name) {
        const int c = column(name);
        if (c < 0) throw CgatsError(std::string("the CGATS file has no ") + name + " field");
        columns.push_back(c);
    };
    const int id = column("SAMPLE_ID");
    const int name = column("SAMPLE_NAME");
    // The spectral job's 40 reflectances, as the one spectral reader finds them.
    CgatsSpectra spectra;
    std::vector<std::size_t> bands;
    if (kind == CgatsRecords::Xyz) {
        for (const char* f : {"XYZ_X", "XYZ_Y", "XYZ_Z"})
            need(f);
    } else if (kind == CgatsRecords::Lab) {
        for (const char* f : {"LAB_L", "LAB_A", "LAB_B"})
            need(f);
    } else {
        spectra = cgatsSpectra(cgats);
        for (int nm = 360; nm <= 750; nm += 10) {
            const int k = (nm - spectra.firstNm) / spectra.intervalNm;
            if (nm < spectra.firstNm || (nm - spectra.firstNm) % spectra.intervalNm != 0 ||
                k >= static_cast<int>(spectra.texts.empty() ? 0 : spectra.texts[0].size()))
                throw CgatsError("the CGATS file has no reflectance at " + std::to_string(nm) +
                                 " nm (" + kSpectralFieldSpellings + ")");
            bands.push_back(static_cast<std::size_t>(k));
        }
    }

    const int sets = setCount(h);
    std::string out;
    auto cell = [&](int row, int col) -> std::string {
        const char* v = col < 0 ? nullptr : cmsIT8GetDataRowCol(h, row, col);
        return v ? v : "";
    };
    for (int row = 0; row < sets; ++row) {
        std::string line;
        bool first = true;
        auto item = [&](const std::string& text) {
            if (!first) line += ',';
            first = false;
            appendCsvField(line, std::string_view(text));
        };
        if (kind == CgatsRecords::Xyz) item(id >= 0 ? cell(row, id) : std::to_string(row + 1));
        if (kind == CgatsRecords::Spectral) {
            item(id >= 0 ? cell(row, id) : std::to_string(row + 1));
            item(cell(row, name));
            item("");
            const auto& texts = spectra.texts[static_cast<std::size_t>(row)];
            for (std::size_t k : bands)
                item(spectra.factors ? percentText(texts[k]) : texts[k]);
        }
        for (int c : columns)
            item(cell(row, c));
        out += line;
        out += "\n";
    }
    return out;
}

std::string recordsToCgats(const CgatsTableLayout& layout, std::string_view table) {
    const std::size_t headingLines = layout.headingLines;
    const std::size_t trailing = layout.trailing;

    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0, lineNo = 0;
    std::int64_t record = 0;
    std::vector<std::string> fields;
    while (start < table.size()) {
        std::size_t end = table.find('\n', start);
        if (end == std::string_view::npos) end = table.size();
        std::string_view line = table.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (lineNo++ < headingLines) continue;
        ++record;
        splitCsvLine(line, fields);
        if (fields.size() < 9 + trailing) continue;
        std::vector<std::string> results(fields.end() - static_cast<long>(9 + trailing),
                                         fields.end() - static_cast<long>(trailing));
        if (results[0].empty()) continue; // a failed record
        std::string id = layout.idFromFirstField ? fields[0] : std::to_string(record);
        results.insert(results.begin(), id);
        for (std::string& r : results)
            r.erase(std::remove(r.begin(), r.end(), ' '), r.end());
        // CGATS data are bare words: a field that is not a number (a damaged table) would split
        // or merge the columns of whoever reads the file, so its row is left out like a failed one.
        if (!std::all_of(results.begin(), results.end(),
                         [](const std::string& r) { return isNumber(r); }))
            continue;
        rows.push_back(std::move(results));
    }

    It8 it8;
    it8.setHandle(cmsIT8Alloc(it8.context()));
    cmsHANDLE h = it8.handle();
    if (!h) throw CgatsError(it8.error());
    cmsIT8SetSheetType(h, "CGATS.17");
    cmsIT8SetPropertyStr(h, "ORIGINATOR", "ZUL");
    cmsIT8SetPropertyStr(h, "DESCRIPTOR", ("Munsell batch job " + layout.jobName).c_str());
    const char* const names[] = {"SAMPLE_ID", "XYZ_X", "XYZ_Y", "XYZ_Z", "LAB_L",
                                 "LAB_A",     "LAB_B", "RGB_R", "RGB_G", "RGB_B"};
    cmsIT8SetPropertyDbl(h, "NUMBER_OF_FIELDS", 10);
    for (int i = 0; i < 10; ++i)
        cmsIT8SetDataFormat(h, i, names[i]);
    cmsIT8SetPropertyDbl(h, "NUMBER_OF_SETS", static_cast<double>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 10; ++c)
            if (!cmsIT8SetDataRowCol(h, static_cast<int>(r), c,
                                     rows[r][static_cast<std::size_t>(c)].c_str()))
                throw CgatsError(it8.error());
    cmsUInt32Number size = 0;
    if (!cmsIT8SaveToMem(h, nullptr, &size)) throw CgatsError(it8.error());
    std::string out(size, '\0');
    if (!cmsIT8SaveToMem(h, out.data(), &size)) throw CgatsError(it8.error());
    while (!out.empty() && out.back() == '\0')
        out.pop_back();
    return out;
}

CgatsSpectra cgatsSpectra(std::string_view cgats) {
    It8 it8;
    load(it8, cgats);
    cmsHANDLE h = it8.handle();
    char** names = nullptr;
    const int fields = cmsIT8EnumDataFormat(h, &names);
    std::vector<std::pair<int, int>> bands; // wavelength, column
    int id = -1, name = -1;
    for (int i = 0; i < fields && names; ++i) {
        if (!names[i]) continue;
        const std::string f = upper(names[i]);
        if (f == "SAMPLE_ID") id = i;
        if (f == "SAMPLE_NAME") name = i;
        if (const int nm = spectralFieldWavelength(f); nm > 0) bands.emplace_back(nm, i);
    }
    std::sort(bands.begin(), bands.end());
    if (bands.empty())
        throw CgatsError(std::string("the CGATS file has no spectral fields (fields read: ") +
                         kSpectralFieldSpellings + ")");
    CgatsSpectra out;
    out.sampleNameField = name >= 0;
    for (const auto& b : bands)
        out.fields.emplace_back(names[b.second]);
    out.firstNm = bands[0].first;
    out.intervalNm = bands.size() > 1 ? bands[1].first - bands[0].first : 10;
    for (std::size_t k = 1; k < bands.size(); ++k)
        if (bands[k].first - bands[k - 1].first != out.intervalNm || out.intervalNm <= 0)
            throw CgatsError("the spectral fields are not evenly spaced");
    const int sets = setCount(h);
    auto cell = [&](int row, int col) -> std::string {
        const char* v = col < 0 ? nullptr : cmsIT8GetDataRowCol(h, row, col);
        return v ? v : "";
    };
    double highest = -HUGE_VAL;
    for (int row = 0; row < sets; ++row) {
        std::string label = cell(row, name);
        if (label.empty()) label = cell(row, id);
        if (label.empty()) label = std::to_string(row + 1);
        std::vector<std::string> t;
        std::vector<double> v;
        for (const auto& b : bands) {
            t.push_back(cell(row, b.second));
            const std::string& text = t.back();
            v.push_back(cellNumber(text).value_or(std::nan("")));
            if (std::isfinite(v.back())) highest = std::max(highest, v.back());
        }
        out.names.push_back(std::move(label));
        out.texts.push_back(std::move(t));
        out.values.push_back(std::move(v));
    }

    // One scale for the whole file: a dark sample (black velvet, a light trap) in a percent file
    // reads 2 or less everywhere and is no factor sample for that.
    const char* norm = cmsIT8GetProperty(h, "SPECTRAL_NORM");
    const double stated = norm ? cellNumber(norm).value_or(0) : 0;
    if (stated == 1 || stated == 100) {
        out.factors = stated == 1;
    } else {
        out.factors = highest <= 2;
        // A lone sample cannot tell, nor can values above 1 (a factor is rarely above 1, a
        // dark sample in percent may be): say which reading was taken.
        if (out.factors && (sets == 1 || highest > 1))
            out.scaleNote = std::string(sets == 1 ? "one sample" : "samples") +
                            " with no value above 2: read as reflectance factors (0..1), not "
                            "percent; a SPECTRAL_NORM 100 keyword says percent";
    }
    return out;
}

} // namespace zul
