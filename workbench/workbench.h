#pragma once
// The main window's program-wide state and its conversion chains, without any widget. Views
// show the field texts, slider positions and labels held here and forward the user's actions;
// other windows write field texts, run a chain and read the results back, as they would on the
// main window.
#include "colorimetry/illuminant.h"
#include "colorimetry/lab.h"
#include "colorimetry/rgb.h"
#include "colorimetry/tristimulus.h"
#include "workbench/dialogs.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zul {

class RenotationTable;
struct CieColour;
enum class EntryForm;

// Entry fields, in the order of the window's control arrays.
enum class Field {
    // clang-format off
    Hue, Value, Chroma, // Text12(0..2)
    X, Y, Z,            // Text11(0..2)
    SmallX, SmallY,     // Text18(0..1)
    L, A, B,            // Text15(0..2)
    R, G, Bl,           // Text1(0..2)
    C, M, Ye, K,        // Text2(0..3), percent
    Gamma,              // Text5
    Count
    // clang-format on
};

enum class Slider {
    Hue,    // VScroll1, 0..202 (hue number x 2)
    Value,  // VScroll2, 1..20 (value x 2)
    Chroma, // VScroll3, 0..40
    R,      // VScroll4, 0..255
    G,      // VScroll5
    B,      // VScroll6
    Tint,   // VScroll7, 50..100
    Gamma,  // VScroll8, 10..30 (gamma x 10)
    Count
};

// Window switches Check2..Check8.
enum class Switch {
    HuePage,
    Tolerance,
    ValuePage,
    ColorChecker,
    ImageAnalysis,
    Viewer,
    Spectral,
    QualityControl,
    Count
};

struct SliderRange {
    int min, max;
};
SliderRange sliderRange(Slider s);

class Workbench : public QObject {
    Q_OBJECT
public:
    // Everything a conversion depends on besides the entered texts, copied exactly as stored
    // (the start-up display exponent and the gamma slider's differ in the last bit, so they are
    // never recomputed from the gamma). A worker workbench given the main workbench's options
    // converts to the same texts.
    struct Options {
        int illuminant = 0;
        int pwd = 0; // Check1: 0, 1 or 2
        std::array<float, 3> gains{};
        std::array<float, 3> displayExponents{};
        std::array<float, 3> cmykExponents{};
        int tintSlider = 100;
        int gammaSlider = 22;
        QString gammaText;
        bool adapt = false; // "Adapt entries to the illuminant"
        bool operator==(const Options&) const = default;
    };

    // `table` is shared read-only; `dialogs` must outlive the workbench.
    Workbench(std::shared_ptr<const RenotationTable> table, Dialogs& dialogs,
              QObject* parent = nullptr);
    ~Workbench() override;

    // Start-up from the weighting table on: defaults, illuminant option 0 selected, which
    // converts the design-time Munsell entry "6.4Y", "8.6", "10.4".
    void startUp();
    // Empties every entry field but gamma, the range warning and the extrapolation mark; the
    // options stay. Whoever converts one colour after another starts each from here, so the
    // fields a chain does not reach show nothing rather than the previous colour.
    void clearEntries();

    Options options() const;
    // Takes over `o` without running any chain; the illuminant caption follows.
    void applyOptions(const Options& o);

    // --- state read by views and other windows
    const QString& text(Field f) const {
        const FieldText& t = m_fields[static_cast<int>(f)];
        if (!t.shownCurrent) showBytes(t);
        return t.shown;
    }
    void setText(Field f, const QString& text); // what the user or another window types
    // The same text in UTF-8, without a QString: what the command line and the batch jobs read.
    std::string_view textUtf8(Field f) const { return m_fields[static_cast<int>(f)].bytes(); }
    // setText with the UTF-8 of the text; what cannot be decoded is replaced as in a QString.
    void setTextUtf8(Field f, std::string_view utf8);
    int slider(Slider s) const { return m_sliders[static_cast<int>(s)]; }
    int illuminant() const { return m_illuminant; }
    QString illuminantCaption() const { return m_label1; } // Label1
    QString rangeWarning() const { return m_label19; }     // Label19
    QString munsellNote() const { return m_munsellNote; }  // extrapolation mark, or empty
    std::string_view munsellNoteUtf8() const;              // the same in UTF-8
    // The value the last chain showed in place of the one it had, or empty; also in Messages.
    QString valueNote() const { return m_valueNote; }
    // Under D50 or D65 without adaptation, the line under the illuminant caption; else empty.
    QString entryNote() const;
    // A line for the Messages field that no chain replaces (the table in use, ...).
    void showNotice(const QString& text) { setMessage(text, false); }
    // What the Messages field shows: where the last record went, or why the last chain failed
    // or what it changed of the entry; empty when there is nothing to say.
    QString message() const { return m_message; }
    // A field that does not belong to the colour the other fields and the swatch show: typed
    // and not converted yet, or left by a chain that failed part way.
    bool stale(Field f) const { return m_stale[static_cast<int>(f)]; }
    bool anyStale() const;
    // The clipped display colour of an out-of-range colour, painted inside the black swatch;
    // nullopt while the swatch shows the colour itself.
    std::optional<std::array<int, 3>> nearestShown() const { return m_nearest; }
    int pwdState() const { return m_pwd; } // Check1: 0, 1 or 2
    bool switchOn(Switch s) const { return m_switches[static_cast<int>(s)]; }
    std::array<int, 3> displayRgb() const { return {m_r, m_g, m_b}; }
    bool outOfRange() const { return m_outOfRange; }
    std::array<float, 3> gains() const { return m_gain; }
    std::array<float, 3> displayExponents() const { return m_exponent; }
    // "Adapt entries to the illuminant": XYZ, x y, CIELAB and RGB entries are taken as colours
    // under the selected illuminant and adapted to C before the Munsell search.
    bool adaptEntries() const { return m_adapt; }
    void setAdaptEntries(bool on);
    Conditions conditions() const { return {m_illuminant, m_pwd == 1}; }
    RgbSettings rgbSettings() const;
    const WeightingTable& weights() const;
    const RenotationTable& table() const { return *m_table; }
    Dialogs& dialogs() { return m_dialogs; }

    bool quiet() const { return m_quiet; }
    void setQuiet(bool q) { m_quiet = q; }
    bool sliderGuard() const { return m_guard; }

    QString paletteFile() const { return m_paletteFile; }
    void setPaletteFile(const QString& name) { m_paletteFile = name; }
    // The palette the user last chose in a save dialog (whole path), which the next dialog
    // proposes; kept between runs by the window face. Empty: none chosen yet.
    QString lastPaletteName() const { return m_lastPalette; }
    void setLastPaletteName(const QString& name) { m_lastPalette = name; }
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    std::array<float, 40>& reflectance() { return m_reflectance; }

    // --- chains; each returns true when it ran to the end
    bool muncie();   // Munsell entry chain
    bool xyzChain(); // XYZ entry chain
    bool xyChain();  // chromaticity entry chain
    bool labChain(); // CIELAB entry chain
    bool rgbChain(); // RGB entry chain
    bool cmyk();     // CMYK entry chain
    bool ciemun();   // Munsell fields from the XYZ fields
    // What the Munsell entry chain makes of one entry, for callers that convert many and keep
    // only the colour: the display R, G, B and the CIELAB fields' numbers.
    struct EntryColour {
        std::array<int, 3> rgb{};
        std::array<float, 3> lab{}; // L*, a*, b* as their fields read, in single precision
    };
    // Enter in a field starts the chain of its group.
    bool enterPressed(Field f);
    // The Munsell chain run by another window's scroll bar: like a slider's, it reports in
    // Messages and the marks, never with a box.
    bool scrollMuncie();

    // --- user actions on controls
    void sliderMoved(Slider s, int position); // nothing while the guard is set
    void selectIlluminant(int index);         // Option1_Click
    void setPwd(int state);                   // Check1
    void setSwitch(Switch s, bool on);        // Check2..Check7
    void gammaTextChanged(const QString& text);
    void swatchPressed(int r, int g, int b); // colour of the swatch under the pointer

    // The text of each display channel value's linear value (R, G, B by 0..255), made when first
    // asked for; good for one set of RGB settings.
    struct LinearTexts {
        std::array<std::array<std::string, 256>, 3> text;
    };
    // The palette record of the colour the fields show, after its date, time and tag items (which
    // the writer puts first, often the same for many records): a comma, the nine Munsell, XYZ and
    // CIELAB texts, the linear r, g, b of the RGB fields, the seven RGB and CMYK texts, CR LF,
    // appended to `line`. An empty string, or the reason nothing was appended (the RGB fields do
    // not hold numbers). `linear`, if given, keeps the linear texts from one record to the next.
    std::string paletteRecord(std::string& line, LinearTexts* linear = nullptr) const;

    // Appends the current colour to the palette file; mode 0 asks for the tag.
    bool SaveData(float mode);
    // "Save to Palette": the interactive save, then the palette viewer, if switched on, reloads
    // the file. Other savers (picture analysis, batch) call SaveData alone.
    bool savePressed();

    // Background colours set by the tint slider: window/captions and entry fields.
    std::array<int, 3> tintBackground() const;
    std::array<int, 3> tintFieldBackground() const;
    bool logoVisible() const { return slider(Slider::Tint) == 100; }

signals:
    void changed();                           // any field, slider or label may have changed
    void messageChanged(const QString& text); // the Messages field
    void swatchChanged(int r, int g, int b);
    void tintChanged();
    // Refresh hooks for the other windows (connected when those windows exist).
    void huePageRefresh();
    void valuePageRefresh(float value);
    void toleranceRefresh(float l, float a, float b);
    void colorCheckerRefresh();
    void viewerReload();
    // Another window (the tolerance set, the picture window) hands a palette file to the
    // palette viewer, which shows it without making it the current palette.
    void paletteViewRequested(const QString& fileName);
    void switchChanged(Switch s, bool on);

private:
    friend class EntryConverter;
    // The Munsell entry chain for the texts `hue`, `value` and `chroma`, of which the last two
    // read as the numbers `valueNumber` and `chromaNumber` (the strict reading, as a float):
    // the colour muncie() gives after setTextUtf8 of the three, or nullopt where it fails. No
    // field, slider, mark or message changes, except for an entry the chain itself rewrites (a
    // whole notation in the hue text, a text that is not ASCII), which goes through muncie().
    std::optional<EntryColour> munsellColour(std::string_view hue, std::string_view value,
                                             std::string_view chroma, float valueNumber,
                                             float chromaNumber);
    // The steps of the Munsell entry chain that decide the colour, from the hue step converth
    // gave for `hueText`, the value and the chroma: the hue, value and chroma sliders'
    // positions and, when all three are in range, the colour (`hue` and `value` as the table
    // took them). The first slider out of range, or Slider::Count when none is.
    Slider munsellSteps(std::string_view hueText, float& hue, float& value, float chroma,
                        std::array<int, 3>& positions, CieColour& cie) const;
    struct Engine;
    // A field's text as the chains read and write it, in UTF-8, and the QString the views get,
    // made again only when asked for after the bytes changed. While `shownCurrent` is false the
    // bytes are ASCII. Texts up to kShort bytes, every text a chain writes among them, are kept
    // in place. The number strict() read is kept until the bytes change: a chain reads its
    // entries once more when it comes to the Munsell search. (Filled in by const readers: a
    // workbench is used by one thread at a time.)
    struct FieldText {
        static constexpr std::size_t kShort = 32;
        std::string_view bytes() const {
            return isLong ? std::string_view(longBytes)
                          : std::string_view(shortBytes.data(), shortSize);
        }
        void assign(std::string_view b);
        void clear() {
            shortSize = 0;
            isLong = false;
            numberRead = false;
        }
        std::array<char, kShort> shortBytes{};
        unsigned char shortSize = 0;
        bool isLong = false;
        mutable bool numberRead = false;
        mutable float number = 0;
        std::string longBytes;
        mutable QString shown;
        mutable bool shownCurrent = true;
    };
    static void showBytes(const FieldText& t);
    void setField(Field f, const QString& text);
    void setFieldUtf8(Field f, std::string_view utf8);
    void writeField(Field f, std::string_view ascii); // texts of the number formatters
    void writeField(Field f, int number);
    float strict(Field f) const; // ConversionError naming the field
    void paintSwatch();
    Lab labOf(Xyz& xyz); // xyzlab, CIELAB fields, tolerance hook
    void runXyzrgb(const Xyz& xyz);
    void writeRgbFields(int r, int g, int b);
    void writeCmykFields(const CmykEstimate& e);
    void writeXyzFields(const Xyz& xyz);
    bool ciemunSteps();
    bool neutralSteps(float X, float Y, float Z);
    CieColour darkNeutralCie(float value) const;
    bool runChain(const std::function<void()>& steps);
    void reportFailure(const QString& message);
    bool notSaved(); // a prompt of the save was cancelled: "Not saved", false
    // Bookkeeping of which fields the running chain read and wrote, for the stale marks.
    // The form whose fields the chain reads.
    void beginChain(EntryForm inputs);
    void endChain(bool ok);
    void setMessage(const QString& text, bool reason = true);
    void clearReason();
    Xyz entryToC(Xyz xyz) const; // the adaptation of entries, when switched on

    std::shared_ptr<const RenotationTable> m_table;
    Dialogs& m_dialogs;
    std::unique_ptr<Engine> m_engine;
    std::array<FieldText, static_cast<int>(Field::Count)> m_fields;
    std::array<int, static_cast<int>(Slider::Count)> m_sliders{};
    std::array<bool, static_cast<int>(Switch::Count)> m_switches{};
    int m_illuminant = 0;
    int m_pwd = 0;
    QString m_label1;
    QString m_label19;
    QString m_munsellNote;
    QString m_valueNote;
    QString m_message;
    bool m_messageIsReason = false; // a chain's reason, replaced by the next chain
    std::array<bool, static_cast<int>(Field::Count)> m_stale{};
    std::array<unsigned, static_cast<int>(Field::Count)> m_written{}; // chain that wrote it
    unsigned m_chain = 0;
    bool m_chainPainted = false;
    mutable std::optional<Field> m_badField; // the field strict() last failed on
    bool m_adapt = false;
    std::optional<std::array<int, 3>> m_nearest;
    QString m_savedFile; // record count of the palette file as last saved
    qint64 m_savedSize = -1;
    long m_savedRecords = 0;
    int m_r = 0, m_g = 0, m_b = 0;
    bool m_outOfRange = false;
    bool m_quiet = false;
    bool m_guard = false;
    // A slider, a scroll bar or the gamma field runs the chain: no box, which would take the
    // mouse release (the slider repeating) or come once a keystroke.
    bool m_boxless = false;
    std::array<float, 3> m_gain{1.0f, 1.0f, 1.0f};
    std::array<float, 3> m_exponent{};
    std::array<float, 3> m_cmykExponent{};
    QString m_paletteFile;
    QString m_lastPalette;
    QString m_tag;
    std::array<float, 40> m_reflectance{};
};

// The number the "###.00" text of `v` (a CIELAB field) reads as in single precision.
float twoDecimalsNumber(float v);

// The display R, G and B as their fields show them, each rounded and held to 0..255 (what a
// palette record keeps); ConversionError or RangeError as strict reading gives them.
DisplayRgb fieldRgb(const Workbench& wb);

} // namespace zul
