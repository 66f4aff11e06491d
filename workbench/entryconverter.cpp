#include "workbench/entryconverter.h"

#include "munsell/notation.h"

#include <array>

namespace zul {

namespace {

// The UTF-8 of `text`; ASCII, nearly always, copied without a conversion.
void appendUtf8(std::string& out, const QString& text) {
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(text.size()));
    char* to = out.data() + at;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.resize(at);
            out += text.toStdString();
            return;
        }
        *to++ = static_cast<char>(c.unicode());
    }
}

} // namespace

EntryConverter::EntryConverter(std::shared_ptr<const RenotationTable> table,
                               const Workbench::Options& options, bool quiet)
    : m_wb(std::move(table), m_dialogs) {
    m_wb.applyOptions(options);
    m_wb.setQuiet(quiet);
}

EntryConverter::EntryConverter(std::shared_ptr<const RenotationTable> table)
    : m_wb(std::move(table), m_dialogs) {
    m_wb.startUp();
}

EntryConverter::~EntryConverter() = default;

void EntryConverter::setOptions(const Workbench::Options& options) {
    if (options == m_wb.options()) return;
    m_wb.applyOptions(options);
    m_linear.reset(); // made for the old display settings
}

std::string EntryConverter::countProblem(EntryForm form, std::span<const std::string_view> texts) {
    const std::size_t wanted = entryForm(form).fields.size();
    if (texts.size() == wanted) return {};
    if (form == EntryForm::Munsell && texts.size() == 1 && splitMunsellNotation(texts[0]))
        return {};
    return "expected " + std::to_string(wanted) + " fields (" + fieldNames(form) + "), got " +
           std::to_string(texts.size());
}

bool EntryConverter::convert(EntryForm form, std::span<const std::string_view> texts) {
    const EntryFormInfo& info = entryForm(form);
    m_wb.clearEntries();
    m_dialogs.clear();
    if (texts.size() != info.fields.size()) {
        if (!countProblem(form, texts).empty()) return false;
        const auto parts = splitMunsellNotation(texts[0]); // one whole notation
        const std::array<std::string_view, 3> split = {parts->hue, parts->value, parts->chroma};
        return convert(form, split);
    }
    for (std::size_t i = 0; i < texts.size(); ++i)
        m_wb.setTextUtf8(info.fields[i].field, texts[i]);
    return m_wb.enterPressed(info.enter);
}

std::string EntryConverter::boxesText() const {
    std::string out;
    for (const QString& m : m_dialogs.messages()) {
        if (!out.empty()) out += "; ";
        appendUtf8(out, m);
    }
    return out;
}

void EntryConverter::appendNotes(std::string& out, bool explained) const {
    const QString reason = explained ? m_wb.message() : QString();
    const QString valueNote = m_wb.valueNote();
    int parts = 0;
    bool valueNoteIn = false;
    auto add = [&](const QString& part) {
        if (parts++ > 0) out += "; ";
        valueNoteIn = valueNoteIn || part == valueNote;
        appendUtf8(out, part);
    };
    for (const QString& m : m_dialogs.messages())
        if (reason.isEmpty() || !reason.startsWith(m)) add(m);
    if (!reason.isEmpty()) add(reason);
    if (!valueNote.isEmpty() && !valueNoteIn) add(valueNote);
    if (const std::string_view mark = m_wb.munsellNoteUtf8(); !mark.empty()) {
        if (parts++ > 0) out += "; ";
        out += mark;
    }
    if (!m_wb.rangeWarning().isEmpty()) add(m_wb.rangeWarning());
}

std::string EntryConverter::appendPaletteRecord(std::string& line) {
    if (!m_linear) m_linear = std::make_unique<Workbench::LinearTexts>();
    return m_wb.paletteRecord(line, m_linear.get());
}

} // namespace zul
