#include "spectral/ciedata.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

namespace zul::spectral {

namespace {

const char* const kNames[] = {"A", "C", "D50", "D55", "D65", "D75", "F2", "F7", "F11", "E"};

const std::vector<SampledTable>& embedded(const std::string& name) {
    static const std::map<std::string, std::vector<SampledTable>> tables = [] {
        std::map<std::string, std::vector<SampledTable>> m;
        for (const detail::EmbeddedTable* t = detail::kEmbeddedTables; t->name; ++t)
            m[t->name] = detail::parseTable(t->text);
        return m;
    }();
    const auto it = tables.find(name);
    if (it == tables.end()) throw std::runtime_error("no CIE table " + name);
    return it->second;
}

// Nominal temperatures scaled from c2 = 1.4380e-2 to the current 1.4388e-2 m K.
double daylightCct(Illuminant i) {
    const double nominal = i == Illuminant::D50   ? 5000
                           : i == Illuminant::D55 ? 5500
                           : i == Illuminant::D65 ? 6500
                                                  : 7500;
    return nominal * 1.4388 / 1.4380;
}

} // namespace

const char* illuminantName(Illuminant i) {
    return kNames[static_cast<int>(i)];
}

std::optional<Illuminant> illuminantNamed(std::string_view name) {
    for (Illuminant i : kIlluminantList) {
        const std::string_view n = illuminantName(i);
        if (n.size() != name.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < n.size(); ++k)
            same = same && std::toupper(static_cast<unsigned char>(name[k])) == n[k];
        if (same) return i;
    }
    return std::nullopt;
}

double SampledTable::at(double nm) const {
    if (values.empty()) return 0;
    const double pos = (nm - start) / step;
    if (pos <= 0) return values.front();
    const auto last = static_cast<double>(values.size() - 1);
    if (pos >= last) return values.back();
    const auto k = static_cast<std::size_t>(pos);
    const double t = pos - static_cast<double>(k);
    return t == 0 ? values[k] : values[k] + t * (values[k + 1] - values[k]);
}

const SampledTable& colourMatching(Observer o, int component) {
    return embedded(o == Observer::Deg2 ? "cmf-2.csv" : "cmf-10.csv").at(component);
}

SampledTable daylight(double cct) {
    const double t = cct, t2 = t * t, t3 = t2 * t;
    const double xd = t <= 7000 ? -4.6070e9 / t3 + 2.9678e6 / t2 + 0.09911e3 / t + 0.244063
                                : -2.0064e9 / t3 + 1.9018e6 / t2 + 0.24748e3 / t + 0.237040;
    const double yd = -3.0 * xd * xd + 2.870 * xd - 0.275;
    const double m = 0.0241 + 0.2562 * xd - 0.7341 * yd;
    const double m1 = std::round((-1.3515 - 1.7703 * xd + 5.9114 * yd) / m * 1000) / 1000;
    const double m2 = std::round((0.0300 - 31.4424 * xd + 30.0717 * yd) / m * 1000) / 1000;
    const auto& s = embedded("daylight.csv");
    SampledTable d{s[0].start, s[0].step, {}};
    for (std::size_t k = 0; k < s[0].values.size(); ++k)
        d.values.push_back(s[0].values[k] + m1 * s[1].values[k] + m2 * s[2].values[k]);
    return d;
}

const SampledTable& illuminantPower(Illuminant i) {
    static const std::array<SampledTable, 10> powers = [] {
        std::array<SampledTable, 10> p;
        for (Illuminant j : kIlluminantList) {
            const auto k = static_cast<std::size_t>(j);
            switch (j) {
            case Illuminant::D50:
            case Illuminant::D55:
            case Illuminant::D65:
            case Illuminant::D75:
                p[k] = daylight(daylightCct(j));
                break;
            default:
                p[k] = embedded(std::string("illuminant-") + illuminantName(j) + ".csv").at(0);
            }
        }
        return p;
    }();
    return powers[static_cast<std::size_t>(i)];
}

const SampledTable& tabulatedD65() {
    return embedded("illuminant-D65.csv").at(0);
}

std::vector<SampledTable> detail::parseTable(std::string_view text) {
    std::vector<double> nm;
    std::vector<std::vector<double>> columns;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string line(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || !(std::isdigit(static_cast<unsigned char>(line[0])))) continue;
        std::vector<double> row;
        // from_chars reads the point whatever the locale (strtod follows the one Qt sets).
        const char* p = line.c_str();
        const char* const lineEnd = p + line.size();
        while (p < lineEnd) {
            while (*p == ' ' || *p == '\t')
                ++p;
            if (*p == '+') ++p;
            double v = 0;
            const auto [stop, error] = std::from_chars(p, lineEnd, v);
            if (error != std::errc() || stop == p)
                throw std::runtime_error("malformed CIE table line: " + line);
            row.push_back(v);
            p = *stop == ',' ? stop + 1 : stop;
            if (*stop && *stop != ',' && *stop != '\r')
                throw std::runtime_error("malformed CIE table line: " + line);
            if (*stop == '\r') break;
        }
        if (columns.empty()) columns.resize(row.size() - 1);
        if (row.size() != columns.size() + 1 || row.size() < 2)
            throw std::runtime_error("uneven CIE table line: " + line);
        nm.push_back(row[0]);
        for (std::size_t c = 1; c < row.size(); ++c)
            columns[c - 1].push_back(row[c]);
    }
    if (nm.size() < 2) throw std::runtime_error("CIE table too short");
    const double step = nm[1] - nm[0];
    for (std::size_t k = 1; k < nm.size(); ++k)
        if (std::abs(nm[k] - nm[0] - step * static_cast<double>(k)) > 1e-6)
            throw std::runtime_error("CIE table not evenly spaced");
    std::vector<SampledTable> out;
    for (auto& c : columns)
        out.push_back({nm[0], step, std::move(c)});
    return out;
}

} // namespace zul::spectral
