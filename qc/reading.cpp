#include "qc/reading.h"

#include "munsell/hue.h"
#include "munsell/notation.h"
#include "records/csvline.h"
#include "text/numtext.h"

#include <cctype>

namespace zul {

namespace {

std::optional<double> number(const QString& text) {
    const std::string s = text.toStdString();
    if (!isNumber(s)) return std::nullopt;
    return parseStrict(s);
}

} // namespace

std::optional<QcColour> colourShown(const Workbench& wb) {
    const auto l = number(wb.text(Field::L));
    const auto a = number(wb.text(Field::A));
    const auto b = number(wb.text(Field::B));
    if (!l || !a || !b || wb.stale(Field::L)) return std::nullopt;
    QcColour c;
    c.lab = {*l, *a, *b};
    const auto value = number(wb.text(Field::Value));
    const auto chroma = number(wb.text(Field::Chroma));
    std::string hue = wb.text(Field::Hue).toStdString();
    bool formatError = false;
    const float step = hue.empty() ? 0 : converth(hue, &formatError);
    if (value && chroma && !hue.empty() && !formatError && !wb.stale(Field::Hue)) {
        c.hasMunsell = true;
        c.hueStep = step;
        c.value = *value;
        c.chroma = *chroma;
    }
    return c;
}

QcReading readColour(EntryConverter& converter, EntryForm form,
                     const std::vector<std::string>& given) {
    const std::vector<std::string_view> texts(given.begin(), given.end());
    if (std::string problem = EntryConverter::countProblem(form, texts); !problem.empty())
        return {std::nullopt, std::move(problem)};
    converter.convert(form, texts);
    QcReading r;
    r.colour = colourShown(converter.workbench());
    if (!r.colour)
        r.error =
            converter.reason().isEmpty() ? "no CIELAB values" : converter.reason().toStdString();
    return r;
}

std::optional<EntryForm> formNamed(std::string name) {
    for (char& ch : name)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return entryFormNamed(name);
}

std::optional<ColourText> splitColourText(const std::string& text) {
    if (const std::size_t colon = text.find(':'); colon != std::string::npos) {
        const auto form = formNamed(text.substr(0, colon));
        if (!form) return std::nullopt;
        ColourText c{*form, {}};
        splitCsvLine(text.substr(colon + 1), c.fields);
        return c;
    }
    if (splitMunsellNotation(text)) return ColourText{EntryForm::Munsell, {text}};
    ColourText c{EntryForm::Lab, {}};
    splitCsvLine(text, c.fields);
    if (c.fields.size() != 3) return std::nullopt;
    for (const std::string& f : c.fields)
        if (!isNumber(f)) return std::nullopt;
    return c;
}

} // namespace zul
