#include "tools/muncie_gen.h"

#include "text/errors.h"

#include <array>
#include <cmath>
#include <sstream>
#include <string>

namespace zul {

namespace {

constexpr int kLevels = 11, kHues = 40, kChromas = 17;

struct Point {
    double x = 0, y = 0;
    bool present = false;
};
using Grid = std::array<std::array<std::array<Point, kChromas>, kHues>, kLevels>;

// Hue index of a renotation hue text: 2.5R -> 1, 10R -> 4, 2.5YR -> 5, 7.5RP -> 39, 10RP -> 0.
int hueIndex(const std::string& hue, int line) {
    static const std::array<std::string, 10> families = {"R",  "YR", "Y",  "GY", "G",
                                                         "BG", "B",  "PB", "P",  "RP"};
    std::size_t split = hue.find_first_not_of("0123456789.");
    if (split == 0 || split == std::string::npos)
        throw DataFileError("renotation source, line " + std::to_string(line) + ": bad hue \"" +
                            hue + "\"");
    const std::string letters = hue.substr(split);
    for (int f = 0; f < 10; ++f) {
        if (letters == families[static_cast<std::size_t>(f)]) {
            const double step = std::stod(hue.substr(0, split));
            const double quarter = (f * 10 + step) / 2.5;
            const long idx = std::lround(quarter);
            if (std::fabs(quarter - static_cast<double>(idx)) > 1e-9) break;
            return static_cast<int>(idx % kHues);
        }
    }
    throw DataFileError("renotation source, line " + std::to_string(line) + ": bad hue \"" + hue +
                        "\"");
}

int scaled(double coordinate) {
    return static_cast<int>(std::lround(coordinate * 10000.0));
}

} // namespace

void generateMuncie(std::istream& source, std::ostream& out) {
    Grid g{};
    std::string line;
    int lineNo = 0;
    while (std::getline(source, line)) {
        ++lineNo;
        if (lineNo == 1) continue; // header
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::istringstream row(line);
        std::string hue;
        double v, c, x, y, bigY;
        if (!(row >> hue >> v >> c >> x >> y >> bigY))
            throw DataFileError("renotation source, line " + std::to_string(lineNo) +
                                ": expected H V C x y Y");
        if (c < 0)
            throw DataFileError("renotation source, line " + std::to_string(lineNo) +
                                ": chroma must not be negative");
        if (v != std::floor(v) || v < 1 || v > 10) continue; // only whole values 1..10
        if (c > 32 || c != std::floor(c) || static_cast<int>(c) % 2 != 0) continue;
        Point& p = g[static_cast<std::size_t>(v)][static_cast<std::size_t>(hueIndex(hue, lineNo))]
                    [static_cast<std::size_t>(c / 2)];
        p = {x, y, true};
    }

    for (int h = 0; h < kHues; ++h) {
        for (int c = 1; c < kChromas; ++c) {
            auto at = [&](int v) -> Point& {
                return g[static_cast<std::size_t>(v)][static_cast<std::size_t>(h)]
                        [static_cast<std::size_t>(c)];
            };
            // Level 10 is sparse in the source: continue 8 -> 9 linearly where it has no entry.
            if (!at(10).present && at(9).present && at(8).present)
                at(10) = {2 * at(9).x - at(8).x, 2 * at(9).y - at(8).y, true};
            // Level 0 lies below the source: continue 2 -> 1 linearly.
            if (at(1).present) {
                const Point& upper = at(2).present ? at(2) : at(1);
                at(0) = {2 * at(1).x - upper.x, 2 * at(1).y - upper.y, true};
            }
        }
    }

    for (int v = 0; v < kLevels; ++v) {
        for (int h = 0; h < kHues; ++h) {
            for (int c = 0; c < kChromas; ++c) {
                const Point& p = g[static_cast<std::size_t>(v)][static_cast<std::size_t>(h)]
                                  [static_cast<std::size_t>(c)];
                if (c == 0)
                    out << "3101,3163\n"; // neutral: the illuminant C white point
                else if (p.present)
                    out << scaled(p.x) << ',' << scaled(p.y) << '\n';
                else
                    out << "0,0\n";
            }
        }
    }
}

} // namespace zul
