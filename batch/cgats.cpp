#include "batch/cgats.h"

#include "text/numtext.h"
#include "records/csvline.h"
#include "records/safefiles.h"

#include <lcms2.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace zul::batch {

namespace {

// A context whose error handler keeps the last message, and the IT8 handle on it.
class It8 {
public:
    It8() : m_context(cmsCreateContext(nullptr, this)) {
        cmsSetLogErrorHandlerTHR(m_context, [](cmsContext c, cmsUInt32Number, const char* text) {
            static_cast<It8*>(cmsGetContextUserData(c))->m_error = text ? text : "";
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
    cmsContext m_context;
    cmsHANDLE m_handle = nullptr;
    std::string m_error;
};

// Every CGATS input is parsed here, so what is refused is refused for every reader.
void load(It8& it8, std::string_view cgats) {
    // The CGATS parser must not be handed an empty block (it stops the program).
    if (cgats.empty()) throw CgatsError("the CGATS file is empty");
    // The parser follows .INCLUDE to any file, FIFOs and secrets included.
    if (hasCgatsInclude(cgats)) throw CgatsError(kCgatsIncludeRefused);
    it8.setHandle(
        cmsIT8LoadFromMem(it8.context(), cgats.data(), static_cast<cmsUInt32Number>(cgats.size())));
    if (!it8.handle()) throw CgatsError(it8.error());
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The wavelength a spectral field names, or 0.
int spectralWavelength(const std::string& field) {
    const std::string f = upper(field);
    for (const char* prefix : {"SPECTRAL_NM_", "SPECTRAL_NM", "SPECTRAL_", "NM_", "NM"}) {
        const std::string p = prefix;
        if (f.rfind(p, 0) != 0) continue;
        const std::string rest = f.substr(p.size());
        // Four digits at most: a longer run names no wavelength (and would overflow an int).
        if (rest.empty() || rest.size() > 4 || !std::all_of(rest.begin(), rest.end(), ::isdigit))
            return 0;
        return std::stoi(rest);
    }
    return 0;
}

} // namespace

bool readsCgats(const Job& job) {
    return job.id == JobId::Xyz || job.id == JobId::Lab || job.id == JobId::Spectral;
}

bool writesCgats(const Job& job) {
    return job.output && job.id != JobId::Spectral;
}

std::string cgatsToRecords(const Job& job, std::string_view cgats) {
    if (!readsCgats(job)) throw CgatsError(std::string("job ") + job.name + " reads no CGATS");
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
    if (job.id == JobId::Xyz) {
        for (const char* f : {"XYZ_X", "XYZ_Y", "XYZ_Z"})
            need(f);
    } else if (job.id == JobId::Lab) {
        for (const char* f : {"LAB_L", "LAB_A", "LAB_B"})
            need(f);
    } else {
        for (int nm = 360; nm <= 750; nm += 10) {
            int found = -1;
            for (int i = 0; i < fields && found < 0; ++i)
                if (names && names[i] && spectralWavelength(names[i]) == nm) found = i;
            if (found < 0)
                throw CgatsError("the CGATS file has no reflectance at " + std::to_string(nm) +
                                 " nm (SPECTRAL_NM" + std::to_string(nm) + ")");
            columns.push_back(found);
        }
    }

    // The data hold at most as many sets as declared; a count beyond an int (or not a number)
    // reads none rather than converting out of range.
    const double declared = cmsIT8GetPropertyDbl(h, "NUMBER_OF_SETS");
    const int sets = declared >= 1 && declared < 1e9 ? static_cast<int>(declared) : 0;
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
        if (job.id == JobId::Xyz) item(id >= 0 ? cell(row, id) : std::to_string(row + 1));
        if (job.id == JobId::Spectral) {
            item(id >= 0 ? cell(row, id) : std::to_string(row + 1));
            item(cell(row, name));
            item("");
        }
        for (int c : columns)
            item(cell(row, c));
        out += line;
        out += "\n";
    }
    return out;
}

std::string recordsToCgats(const Job& job, std::string_view table) {
    if (!writesCgats(job)) throw CgatsError(std::string("job ") + job.name + " writes no CGATS");
    std::size_t headingLines = 0;
    switch (job.id) {
    case JobId::Lab:
    case JobId::Steps:
        headingLines = 1;
        break;
    case JobId::Checker:
        headingLines = 3;
        break;
    case JobId::Chart:
        headingLines = 2;
        break;
    default:
        break;
    }
    // The nine results are the last items of a line, but for the Munsell job, where C, M, Y, K
    // follow them.
    const std::size_t trailing = job.id == JobId::Munsell ? 4 : 0;

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
        std::string id = job.id == JobId::Lab ? fields[0] : std::to_string(record);
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
    cmsIT8SetPropertyStr(h, "DESCRIPTOR", (std::string("Munsell batch job ") + job.name).c_str());
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
        if (const int nm = spectralWavelength(f); nm > 0) bands.emplace_back(nm, i);
    }
    std::sort(bands.begin(), bands.end());
    if (bands.empty()) throw CgatsError("the CGATS file has no spectral fields");
    CgatsSpectra out;
    out.firstNm = bands[0].first;
    out.intervalNm = bands.size() > 1 ? bands[1].first - bands[0].first : 10;
    for (std::size_t k = 1; k < bands.size(); ++k)
        if (bands[k].first - bands[k - 1].first != out.intervalNm || out.intervalNm <= 0)
            throw CgatsError("the spectral fields are not evenly spaced");
    const double declared = cmsIT8GetPropertyDbl(h, "NUMBER_OF_SETS");
    const int sets = declared >= 1 && declared < 1e9 ? static_cast<int>(declared) : 0;
    auto cell = [&](int row, int col) -> std::string {
        const char* v = col < 0 ? nullptr : cmsIT8GetDataRowCol(h, row, col);
        return v ? v : "";
    };
    for (int row = 0; row < sets; ++row) {
        std::string label = cell(row, name);
        if (label.empty()) label = cell(row, id);
        if (label.empty()) label = std::to_string(row + 1);
        std::vector<double> v;
        for (const auto& b : bands) {
            const std::string text = cell(row, b.second);
            char* end = nullptr;
            const double d = std::strtod(text.c_str(), &end);
            v.push_back(!text.empty() && end && *end == 0 ? d : std::nan(""));
        }
        out.names.push_back(std::move(label));
        out.values.push_back(std::move(v));
    }
    return out;
}

} // namespace zul::batch
