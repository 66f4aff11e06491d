// The per-line converters of `zul convert`: field texts from a workbench of the worker's own, or
// the engine's unrounded results.
#include "app/cli_convert.h"
#include "workbench/csvline.h"

#include "munsell/forward.h"
#include "munsell/hue.h"
#include "munsell/inverse.h"
#include "munsell/notation.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <array>
#include <charconv>

namespace zul::cli {

namespace {

struct EntryForm {
    const char* name;
    std::vector<Field> fields; // typed in this order
    Field enter;               // where Enter is pressed
    const char* captions;
};

const EntryForm& entryForm(Form form) {
    static const std::array<EntryForm, 6> forms = {{
        {"munsell", {Field::Hue, Field::Value, Field::Chroma}, Field::Chroma, "hue, value, chroma"},
        {"xyz", {Field::X, Field::Y, Field::Z}, Field::Z, "X, Y, Z"},
        {"xy", {Field::SmallX, Field::SmallY, Field::Y}, Field::SmallY, "x, y, Y"},
        {"lab", {Field::L, Field::A, Field::B}, Field::B, "L*, a*, b*"},
        {"rgb", {Field::R, Field::G, Field::Bl}, Field::Bl, "R, G, B"},
        {"cmyk", {Field::C, Field::M, Field::Ye, Field::K}, Field::K, "C, M, Y, K"},
    }};
    return forms[static_cast<std::size_t>(form)];
}

constexpr int kFieldColumns = 18; // Hue .. K, in the order of Field

// `columns` empty results, then the note.
void appendFailedRow(std::string& out, int columns, std::string_view note) {
    out.append(static_cast<std::size_t>(columns), ',');
    appendCsvField(out, note);
    out += '\n';
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

// Field texts of a workbench: typed into the form's fields of a blank form, Enter pressed.
class WorkbenchConverter : public LineConverter {
public:
    WorkbenchConverter(std::shared_ptr<const RenotationTable> table, const ConvertOptions& o)
        : m_form(o.from), m_wb(std::move(table), m_dialogs) {
        m_wb.startUp();
        if (o.illuminant != 0) m_wb.selectIlluminant(o.illuminant);
        if (o.pwd) m_wb.setPwd(1);
        if (!o.gamma.isEmpty()) m_wb.setText(Field::Gamma, o.gamma);
    }

    bool convert(const std::vector<std::string>& given, std::string& out) override {
        const EntryForm& form = entryForm(m_form);
        const std::vector<std::string>& fields = munsellFields(m_form, given, m_split);
        if (fields.size() != form.fields.size()) {
            appendFailedRow(out, kFieldColumns, wrongCount(m_form, fields.size()));
            return false;
        }
        m_wb.clearEntries();
        m_dialogs.clear();
        for (std::size_t i = 0; i < fields.size(); ++i)
            m_wb.setText(
                form.fields[i],
                QString::fromUtf8(fields[i].data(), static_cast<qsizetype>(fields[i].size())));
        const bool ok = m_wb.enterPressed(form.enter);

        for (int f = 0; f < kFieldColumns; ++f) {
            appendCsvField(out, m_wb.text(static_cast<Field>(f)));
            out += ',';
        }
        // Messages shown during the chain first, then the marks the window shows beside it.
        QStringList note = m_dialogs.messages();
        if (!m_wb.munsellNote().isEmpty()) note << m_wb.munsellNote();
        if (!m_wb.rangeWarning().isEmpty()) note << m_wb.rangeWarning();
        if (!note.isEmpty()) appendCsvField(out, note.join(QStringLiteral("; ")));
        out += '\n';
        return ok;
    }

private:
    Form m_form;
    std::vector<std::string> m_split;
    NonInteractiveDialogs m_dialogs;
    Workbench m_wb;
};

// Munsell notation to X, Y, Z and x, y by the engine, unrounded.
class RawMunsellConverter : public LineConverter {
public:
    RawMunsellConverter(std::shared_ptr<const RenotationTable> table, const ConvertOptions& o)
        : m_table(std::move(table)), m_conditions{o.illuminant, o.pwd} {}

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
        : m_table(std::move(table)), m_index(*m_table), m_pwd(o.pwd) {}

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
            const MunsellColour m = xyzmun(X, Y, Z, m_index, m_pwd);
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
    std::shared_ptr<const RenotationTable> m_table;
    CellIndex m_index;
    bool m_pwd;
};

} // namespace

std::optional<Form> formNamed(std::string_view name) {
    for (int i = 0; i < 6; ++i)
        if (name == entryForm(static_cast<Form>(i)).name) return static_cast<Form>(i);
    return std::nullopt;
}

int fieldCount(Form form) {
    return static_cast<int>(entryForm(form).fields.size());
}

std::string fieldNames(Form form) {
    return entryForm(form).captions;
}

std::string outputHeader(const ConvertOptions& options) {
    if (options.raw && options.from == Form::Munsell) return "hue,value,chroma,X,Y,Z,x,y,note\n";
    if (options.raw && options.from == Form::Xyz) return "hue,value,chroma,extrapolated,note\n";
    return "hue,value,chroma,X,Y,Z,x,y,L*,a*,b*,R,G,B,C,M,Ye,K,note\n";
}

std::unique_ptr<LineConverter> makeConverter(std::shared_ptr<const RenotationTable> table,
                                             const ConvertOptions& options) {
    if (options.raw && options.from == Form::Munsell)
        return std::make_unique<RawMunsellConverter>(std::move(table), options);
    if (options.raw && options.from == Form::Xyz)
        return std::make_unique<RawXyzConverter>(std::move(table), options);
    if (options.raw) throw std::invalid_argument("--raw is for the munsell and xyz forms");
    return std::make_unique<WorkbenchConverter>(std::move(table), options);
}

} // namespace zul::cli
