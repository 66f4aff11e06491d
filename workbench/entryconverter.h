#pragma once
// One entry converted as the main window converts it: the texts of an entry form typed into its
// fields, Enter pressed, and every field's text, the notes the window shows beside them and the
// palette record read back. Every command, batch job and window that converts colours without
// showing them goes through one of these; each worker holds its own.
#include "workbench/dialogs.h"
#include "workbench/entryforms.h"
#include "workbench/workbench.h"

#include <QStringList>

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zul {

class EntryConverter {
public:
    // Converts under `options` (the main workbench's, or the command line's settings); `quiet`
    // as the quiet batch jobs run, without the RGB and CMYK fields of a Munsell entry.
    EntryConverter(std::shared_ptr<const RenotationTable> table, const Workbench::Options& options,
                   bool quiet = false);
    // Converts under the options a workbench starts with (illuminant C, gamma 2.2).
    explicit EntryConverter(std::shared_ptr<const RenotationTable> table);
    ~EntryConverter();
    EntryConverter(const EntryConverter&) = delete;
    EntryConverter& operator=(const EntryConverter&) = delete;

    // Takes over `options` for the next conversions.
    void setOptions(const Workbench::Options& options);
    Workbench::Options options() const { return m_wb.options(); }

    // Why `form` does not take `texts`: "expected 3 fields (hue, value, chroma), got 2"; empty
    // when it does (a Munsell entry may be one whole notation, "5R 4/14", "N 5/").
    static std::string countProblem(EntryForm form, std::span<const std::string_view> texts);
    // Converts the UTF-8 `texts` of `form`'s fields, in the form's order, from empty fields.
    // False when the form's chain failed, or without converting when countProblem() objects.
    bool convert(EntryForm form, std::span<const std::string_view> texts);
    bool convert(EntryForm form, std::initializer_list<std::string_view> texts) {
        return convert(form, std::span<const std::string_view>(texts.begin(), texts.size()));
    }

    // --- what the last conversion shows
    // A field's text in UTF-8.
    std::string_view text(Field f) const { return m_wb.textUtf8(f); }
    // The swatch's R, G, B.
    std::array<int, 3> displayRgb() const { return m_wb.displayRgb(); }
    bool stale(Field f) const { return m_wb.stale(f); }
    // The texts of the boxes the chain would have shown ("Format Error"), in order.
    const QStringList& boxes() const { return m_dialogs.messages(); }
    // The boxes' texts joined by "; ", in UTF-8; empty when none was shown.
    std::string boxesText() const;
    // The Messages field: why the chain failed or what it changed of the entry.
    QString reason() const { return m_wb.message(); }
    // Appends the notes of the conversion in UTF-8, joined by "; ": the boxes' texts (with
    // `explained`, the reason in the Messages field's words in place of a box it spells out),
    // the value note, the extrapolation mark and the range warning. Nothing when there are none.
    void appendNotes(std::string& out, bool explained) const;

    // The Munsell entry's colour alone, for callers that convert many and show only the colour
    // (see Workbench::munsellColour): the fields and notes are left as they are.
    std::optional<Workbench::EntryColour> munsellColour(std::string_view hue,
                                                        std::string_view value,
                                                        std::string_view chroma, float valueNumber,
                                                        float chromaNumber) {
        // The slow path runs the whole chain, whose boxes would pile up over a long load.
        if (!m_dialogs.messages().isEmpty()) m_dialogs.clear();
        return m_wb.munsellColour(hue, value, chroma, valueNumber, chromaNumber);
    }

    // Appends the palette record of the last conversion after its date, time and tag items (see
    // Workbench::paletteRecord); each channel's linear text is made once per converter. An empty
    // string, or the reason nothing was appended.
    std::string appendPaletteRecord(std::string& line);

    // The spectral weights of the options' illuminant and observer.
    const WeightingTable& weights() const { return m_wb.weights(); }
    // The workbench holding the last conversion's state, for readers of what it shows.
    const Workbench& workbench() const { return m_wb; }

private:
    NonInteractiveDialogs m_dialogs;
    Workbench m_wb;
    std::unique_ptr<Workbench::LinearTexts> m_linear;
};

} // namespace zul
