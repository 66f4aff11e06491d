#include "qc/reading.h"

#include "munsell/hue.h"
#include "munsell/notation.h"
#include "text/numtext.h"
#include "records/csvline.h"

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

QcReading readColour(Workbench& wb, EntryForm form, const std::vector<std::string>& given) {
    const EntryFormInfo& info = entryForm(form);
    std::vector<std::string> fields = given;
    if (form == EntryForm::Munsell && given.size() == 1) {
        if (const auto parts = splitMunsellNotation(given[0]))
            fields = {parts->hue, parts->value, parts->chroma};
    }
    if (fields.size() != info.fields.size())
        return {std::nullopt, "expected " + std::to_string(info.fields.size()) + " fields (" +
                                  fieldNames(form) + "), got " + std::to_string(fields.size())};
    wb.clearEntries();
    for (std::size_t i = 0; i < fields.size(); ++i)
        wb.setText(info.fields[i].field, QString::fromStdString(fields[i]));
    wb.enterPressed(info.enter);
    QcReading r;
    r.colour = colourShown(wb);
    if (!r.colour)
        r.error = wb.message().isEmpty() ? "no CIELAB values" : wb.message().toStdString();
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
