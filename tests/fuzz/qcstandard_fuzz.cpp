// The standard's text of quality control ("5R 4/14", "L*,a*,b*", "FORM:values") on any text,
// and the verdict and CSV row of what it names as CIELAB. Properties: CIELAB has three numbers;
// a named form keeps its values; the row has its 15 fields whatever the numbers.
#include "fuzzcheck.h"

#include "qc/reading.h"
#include "qc/report.h"
#include "records/csvline.h"
#include "text/numtext.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    const std::string text(fuzz::asText(data, size));
    const auto split = splitColourText(text);
    if (!split) return 0;
    if (split->form != EntryForm::Lab || text.find(':') != std::string::npos) return 0;
    FUZZ_CHECK(split->fields.size() == 3);
    QcSample s;
    s.ids = {"s"};
    QcColour c;
    double* parts[] = {&c.lab.l, &c.lab.a, &c.lab.b};
    for (std::size_t i = 0; i < 3; ++i) {
        FUZZ_CHECK(isNumber(split->fields[i]));
        *parts[i] = parseStrict(split->fields[i]);
    }
    s.colour = c;
    s.result = evaluate({{50, 10, -10}}, c, {});
    FUZZ_CHECK(std::isnan(s.result.judged) || s.result.judged >= 0);
    if (!(s.result.judged <= 1.0)) FUZZ_CHECK(s.result.verdict == QcVerdict::Fail);
    std::string row;
    appendQcRow(row, s);
    FUZZ_CHECK(!row.empty() && row.back() == '\n');
    row.pop_back();
    std::vector<std::string> fields;
    splitCsvLine(row, fields);
    FUZZ_CHECK(fields.size() == 15);
    return 0;
}
