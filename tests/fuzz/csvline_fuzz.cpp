// `zul convert`'s line splitting on any line. Properties: a line of blanks holds no field; the
// fields written back by appendCsvField split into the same fields (blanks at the ends of a
// field excepted, as an unquoted field drops them); the header and hue tests never fail.
#include "fuzzcheck.h"

#include "records/csvline.h"

#include <string>
#include <vector>

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    const std::string_view line = fuzz::asText(data, size);
    std::vector<std::string> fields = {"left over", "from before"};
    splitCsvLine(line, fields);
    if (trimmed(line).empty()) {
        FUZZ_CHECK(fields.empty());
        return 0;
    }
    FUZZ_CHECK(!fields.empty());

    std::string written;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) written += ',';
        appendCsvField(written, fields[i]);
    }
    std::vector<std::string> again;
    splitCsvLine(written, again);
    if (trimmed(written).empty()) {
        // Only blank fields: written as bare blanks and commas.
        for (const std::string& f : fields)
            FUZZ_CHECK(trimmed(f).empty());
    } else {
        FUZZ_CHECK(again.size() == fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i)
            FUZZ_CHECK(trimmed(again[i]) == trimmed(fields[i]));
    }
    (void)isHeaderLine(line);
    for (const std::string& f : fields)
        (void)isHueNotation(f);
    return 0;
}
