// The per-line converters of `zul convert`: field texts from an entry converter of the worker's
// own, or the engine's unrounded results.
#include "cli/convert.h"
#include "records/csvline.h"

#include "munsell/forward.h"
#include "munsell/hue.h"
#include "munsell/inverse.h"
#include "munsell/notation.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "text/printable.h"
#include "workbench/entryconverter.h"
#include "workbench/palette.h"

#include <algorithm>

#include <array>
#include <charconv>
#include <span>

namespace zul::cli {

namespace {

constexpr int kFieldColumns = 18; // Hue .. K, in the order of Field

// `columns` empty results, then the note (which may quote the input: its control characters
// are shown, never sent to a terminal).
void appendFailedRow(std::string& out, int columns, std::string_view note, char delimiter = ',') {
    out.append(static_cast<std::size_t>(columns), delimiter);
    appendCsvField(out, std::string_view(printable(note)), delimiter);
    out += '\n';
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A text of the input as an entry field holds it: UTF-8, with what cannot be decoded replaced
// as in the field. ASCII, nearly always, is returned as it is; else the text is made in `held`.
std::string_view asFieldText(std::string_view input, std::string& held) {
    if (isAscii(input)) return input;
    held = QString::fromUtf8(input.data(), static_cast<qsizetype>(input.size())).toStdString();
    return held;
}

void appendSafeText(CsvLineBuffer& line, std::string_view text, char delimiter, bool risky) {
    std::string shown = risky ? formulaSafe(text) : std::string(text);
    if (delimiter == ';' && isNumber(shown)) std::replace(shown.begin(), shown.end(), '.', ',');
    line.field(shown);
}

// A field text as written: never run as a formula by a spreadsheet; with the semicolon, a
// number with a decimal comma.
inline void appendText(CsvLineBuffer& line, std::string_view text, char delimiter) {
    const char first = text.empty() ? '\0' : text.front();
    const bool risky = first == '=' || first == '+' || first == '@' || first == '\t' ||
                       first == '\r' || first == '-';
    if (delimiter == ',' && !risky)
        line.field(text);
    else
        appendSafeText(line, text, delimiter, risky);
}

// Whether `text` needs `printable`: only control characters and the C1 controls' lead byte
// change.
bool hasControls(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 || c == 0x7f || c == 0xc2;
    });
}

// `typed` with a decimal comma is the field's `text` with a point.
bool sameBarPoint(std::string_view typed, std::string_view text) {
    return typed.size() == text.size() &&
           std::equal(typed.begin(), typed.end(), text.begin(),
                      [](char t, char c) { return (t == ',' ? '.' : t) == c; });
}

std::string wrongCount(Form form, std::size_t got) {
    return "expected " + std::to_string(fieldCount(form)) + " fields (" + fieldNames(form) +
           "), got " + std::to_string(got);
}

// The workbench's wording for a field that is not a number.
float strictNumber(const char* caption, const std::string& text) {
    return static_cast<float>(parseStrictNamed(caption, text));
}

// Nine significant digits name every float exactly.
void appendRaw(std::string& out, float v) {
    char buf[32];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 9);
    out.append(buf, r.ptr);
    out += ',';
}

// A Munsell colour given as one notation ("5R 4/14", "N 5/") in place of three fields.
const std::vector<std::string>& munsellFields(Form form, const std::vector<std::string>& given,
                                              std::vector<std::string>& split) {
    if (form != Form::Munsell || given.size() != 1) return given;
    const auto parts = splitMunsellNotation(given[0]);
    if (!parts) return given;
    split = {parts->hue, parts->value, parts->chroma};
    return split;
}

// Field texts of the entry converter, one line of them per colour.
class FieldTextConverter : public LineConverter {
public:
    FieldTextConverter(std::shared_ptr<const RenotationTable> table, const ConvertOptions& o)
        : m_form(o.from), m_delimiter(o.delimiter), m_columns(o.columns), m_explain(o.explain),
          m_converter(table, o.settings.options(table)) {}

    bool convert(const std::vector<std::string>& line, std::string& out) override {
        const EntryFormInfo& form = entryForm(m_form);
        const std::vector<std::string>* entered = &line;
        if (!m_columns.empty()) {
            // The other columns first, as they came, whether or not the colour converts.
            const int count = static_cast<int>(line.size());
            {
                CsvLineBuffer copied(out, m_delimiter);
                for (int c : otherColumns(m_columns, count)) {
                    appendText(copied, asFieldText(line[static_cast<std::size_t>(c)], m_held),
                               m_delimiter);
                    copied.put(m_delimiter);
                }
            }
            const int needed = *std::max_element(m_columns.begin(), m_columns.end()) + 1;
            if (count < needed) {
                appendFailedRow(out, kFieldColumns,
                                "expected " + std::to_string(needed) + " columns, got " +
                                    std::to_string(count),
                                m_delimiter);
                return false;
            }
            m_picked.resize(m_columns.size());
            for (std::size_t i = 0; i < m_columns.size(); ++i)
                m_picked[i] = line[static_cast<std::size_t>(m_columns[i])];
            entered = &m_picked;
        }
        const std::vector<std::string>& fields = munsellFields(m_form, *entered, m_split);
        if (fields.size() != form.fields.size()) {
            appendFailedRow(out, kFieldColumns, wrongCount(m_form, fields.size()), m_delimiter);
            return false;
        }
        const bool semicolon = m_delimiter == ';';
        if (semicolon)
            for (std::string& t : m_typed)
                t.clear();
        std::array<std::string_view, 4> texts;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::string_view text = asFieldText(fields[i], m_entries[i]);
            if (semicolon) {
                std::string& typed = m_typed[static_cast<std::size_t>(form.fields[i].field)];
                typed.assign(text);
                m_entries[i] = typed;
                std::replace(m_entries[i].begin(), m_entries[i].end(), ',', '.'); // decimal comma
                text = m_entries[i];
            }
            texts[i] = text;
        }
        const bool ok = m_converter.convert(
            m_form, std::span<const std::string_view>(texts.data(), fields.size()));

        CsvLineBuffer results(out, m_delimiter);
        for (int f = 0; f < kFieldColumns; ++f) {
            const std::string_view text = m_converter.text(static_cast<Field>(f));
            const std::string& original = m_typed[static_cast<std::size_t>(f)];
            // An entry the chain left as it was goes out as it came in.
            if (!original.empty() && sameBarPoint(original, text) && !isNumber(text))
                results.field(formulaSafe(original));
            else
                appendText(results, text, m_delimiter);
            results.put(m_delimiter);
        }
        m_note.clear();
        m_converter.appendNotes(m_note, m_explain);
        // Control characters of the input quoted in a reason are shown, never sent.
        if (hasControls(m_note))
            results.field(printable(m_note));
        else if (!m_note.empty())
            results.field(m_note);
        results.put('\n');
        return ok;
    }

private:
    Form m_form;
    char m_delimiter;
    std::vector<int> m_columns;
    bool m_explain;
    std::vector<std::string> m_picked;
    std::vector<std::string> m_split;
    std::array<std::string, kFieldColumns> m_typed; // the semicolon file's entries as they came
    std::array<std::string, 4> m_entries;           // entries made for the converter
    std::string m_held;                             // a text made for the moment
    std::string m_note;
    EntryConverter m_converter;
};

// Munsell notation to X, Y, Z and x, y by the engine, unrounded.
class RawMunsellConverter : public LineConverter {
public:
    RawMunsellConverter(std::shared_ptr<const RenotationTable> table, const ConvertOptions& o)
        : m_table(std::move(table)), m_conditions{o.settings.illuminant, o.settings.pwd} {}

    bool convert(const std::vector<std::string>& given, std::string& out) override {
        constexpr int kColumns = 8;
        const std::vector<std::string>& fields = munsellFields(Form::Munsell, given, m_split);
        if (fields.size() != 3) {
            appendFailedRow(out, kColumns, wrongCount(Form::Munsell, fields.size()));
            return false;
        }
        try {
            std::string notation = fields[0];
            bool formatError = false;
            float hue = converth(notation, &formatError);
            if (formatError) throw ConversionError("Format Error");
            float value = strictNumber("Value", fields[1]);
            const float chroma = strictNumber("Chroma", fields[2]);
            if (hue >= 100) hue -= 100;
            const CieColour c = mun2xyz(hue, value, chroma, *m_table, m_conditions);
            if (!c.inReach) throw RangeError("beyond the renotation data");
            for (float v : {hue, value, chroma, c.X, c.Y, c.Z, c.x, c.y})
                appendRaw(out, v);
            out += '\n';
            return true;
        } catch (const Error& e) {
            appendFailedRow(out, kColumns, e.what());
            return false;
        }
    }

private:
    std::shared_ptr<const RenotationTable> m_table;
    Conditions m_conditions;
    std::vector<std::string> m_split;
};

// X, Y, Z (illuminant C) to Munsell notation by the engine, unrounded.
class RawXyzConverter : public LineConverter {
public:
    RawXyzConverter(std::shared_ptr<const RenotationTable> table, const ConvertOptions& o)
        : m_index(sharedCellIndex(std::move(table))), m_pwd(o.settings.pwd) {}

    bool convert(const std::vector<std::string>& fields, std::string& out) override {
        constexpr int kColumns = 4;
        if (fields.size() != 3) {
            appendFailedRow(out, kColumns, wrongCount(Form::Xyz, fields.size()));
            return false;
        }
        try {
            const float X = strictNumber("X", fields[0]);
            float Y = strictNumber("Y", fields[1]);
            const float Z = strictNumber("Z", fields[2]);
            const MunsellColour m = xyzmun(X, Y, Z, *m_index, m_pwd);
            for (float v : {m.hue, m.value, m.chroma})
                appendRaw(out, v);
            out += std::to_string(m.extrapolated);
            out += ",\n";
            return true;
        } catch (const Error& e) {
            appendFailedRow(out, kColumns, e.what());
            return false;
        }
    }

private:
    std::shared_ptr<const CellIndex> m_index; // keeps the table
    bool m_pwd;
};

} // namespace

std::string outputHeader(const ConvertOptions& options) {
    if (options.raw && options.from == Form::Munsell) return "hue,value,chroma,X,Y,Z,x,y,note\n";
    if (options.raw && options.from == Form::Xyz) return "hue,value,chroma,extrapolated,note\n";
    std::string header;
    std::string held;
    {
        CsvLineBuffer line(header, options.delimiter);
        for (const std::string& name : options.otherNames) {
            appendText(line, asFieldText(name, held), options.delimiter);
            line.put(options.delimiter);
        }
    }
    std::string results = "hue,value,chroma,X,Y,Z,x,y,L*,a*,b*,R,G,B,C,M,Ye,K,note\n";
    std::replace(results.begin(), results.end(), ',', options.delimiter);
    return header + results;
}

std::vector<int> otherColumns(const std::vector<int>& columns, int count) {
    std::vector<int> out;
    for (int c = 0; c < count; ++c)
        if (std::find(columns.begin(), columns.end(), c) == columns.end()) out.push_back(c);
    return out;
}

std::unique_ptr<LineConverter> makeConverter(std::shared_ptr<const RenotationTable> table,
                                             const ConvertOptions& options) {
    if (options.raw && options.from == Form::Munsell)
        return std::make_unique<RawMunsellConverter>(std::move(table), options);
    if (options.raw && options.from == Form::Xyz)
        return std::make_unique<RawXyzConverter>(std::move(table), options);
    if (options.raw) throw std::invalid_argument("--raw is for the munsell and xyz forms");
    return std::make_unique<FieldTextConverter>(std::move(table), options);
}

} // namespace zul::cli
