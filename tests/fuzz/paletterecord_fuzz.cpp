// The palette reader over every line of a file (a palette, or anything opened as one). Properties:
// a record has finite value and chroma read from its own fields, the fields it
// reports are the line's own and its hue lies on the circle (a finite angle); a line that is not
// one says why. A record without a notation has blank hue, value and chroma; the record's own
// R, G, B and CIELAB come from fields it has, R, G, B in 0..255.
#include "fuzzcheck.h"

#include "records/csvline.h"
#include "records/paletterecord.h"

#include <cmath>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    std::string_view text = fuzz::asText(data, size);
    std::vector<std::string> scratch = {"left", "over"};
    std::vector<std::string> fields;
    while (text.data() != nullptr) {
        auto [line, rest] = fuzz::cut(text, '\n');
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text = rest;

        PaletteFields out;
        const std::string reason = readPaletteRecord(line, scratch, out);
        if (!reason.empty()) continue;
        splitCsvLine(line, fields);
        // The record's own colour: only from fields it has, R, G, B whole numbers 0..255.
        const RecordColour& own = out.own;
        FUZZ_CHECK(!own.hasLab || (fields.size() >= 12 && std::isfinite(own.l) &&
                                   std::isfinite(own.a) && std::isfinite(own.b)));
        FUZZ_CHECK(!own.hasRgb || (fields.size() >= 18 && (own.rgb >> 24) == 0xffu));
        FUZZ_CHECK(own.hasRgb || own.rgb == 0);
        if (out.noNotation) {
            FUZZ_CHECK(fields.size() >= 6);
            FUZZ_CHECK(fields[3].find_first_not_of(" \t") == std::string::npos);
            continue;
        }
        FUZZ_CHECK(std::isfinite(out.valueNumber) && std::isfinite(out.chromaNumber));
        FUZZ_CHECK(fields.size() >= 6);
        FUZZ_CHECK(out.name == fields[2] && out.hue == fields[3]);
        FUZZ_CHECK(out.value == fields[4] && out.chroma == fields[5]);
        FUZZ_CHECK(!isPaletteHeader(fields));
        const float step = paletteHueStep(out.hue);
        FUZZ_CHECK(std::isfinite(step) && std::isfinite(paletteHueAngle(step)));
    }
    return 0;
}
