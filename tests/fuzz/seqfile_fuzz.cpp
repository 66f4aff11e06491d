// Delimited-field reading on any input, with the calls of a reader mixed as the input's first
// byte dictates. Properties: no field holds a line break; line numbers never go back; reading
// ends; texts written by quoted writing read back as they were written.
#include "fuzzcheck.h"

#include "text/errors.h"
#include "text/seqfile.h"

#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    if (size == 0) return 0;
    unsigned state = data[0];
    const std::string text(fuzz::asText(data + 1, size - 1));

    std::istringstream in(text);
    FieldReader reader(in);
    int lastLine = 0;
    std::size_t steps = 0;
    for (;;) {
        FUZZ_CHECK(++steps <= 2 * text.size() + 4);
        state = state * 1103515245u + 12345u;
        const unsigned op = (state >> 16) % 8;
        if (op == 0) {
            const std::string rest = reader.restOfLine();
            FUZZ_CHECK(rest.find_first_of("\r\n") == std::string::npos);
            if (reader.atEnd()) break;
            continue;
        }
        if (op == 1) {
            if (reader.atEnd()) {
                FUZZ_CHECK(!reader.next());
                break;
            }
            continue;
        }
        if (op == 2) {
            try {
                reader.nextNumber("item");
            } catch (const ConversionError&) {
            } catch (const RangeError&) {
            } catch (const DataFileError&) {
                break; // end of input
            }
            FUZZ_CHECK(reader.line() >= lastLine);
            lastLine = reader.line();
            continue;
        }
        const auto field = reader.next();
        if (!field) break;
        FUZZ_CHECK(field->find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(reader.line() >= lastLine && reader.line() >= 1);
        lastLine = reader.line();
    }

    // The first line's fields, written by quoted writing, read back the same.
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    std::vector<Item> items;
    std::vector<std::string> texts;
    for (const std::string& f : splitFields(firstLine)) {
        FUZZ_CHECK(f.find_first_of("\r\n") == std::string::npos);
        if (f.find('"') != std::string::npos) continue;
        items.emplace_back(f);
        texts.push_back(f);
    }
    if (!items.empty()) {
        const std::string written = quotedLine(items, "\r\n");
        FUZZ_CHECK(splitFields(written) == texts);
    }
    return 0;
}
