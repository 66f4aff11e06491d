// `zul spectral`: the colorimetry of spectra from files under standard illuminants and
// observers, as CSV.
#include "cli/commands.h"
#include "cli/context.h"
#include "records/csvline.h"
#include "spectral/colorimetry.h"
#include "spectral/indices.h"
#include "spectral/notation.h"
#include "spectral/spectrumfile.h"
#include "text/printable.h"

#include <QCoreApplication>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

namespace zul::cli {

namespace {

using namespace zul::spectral;

constexpr const char* kUsage =
    "Usage: zul spectral FILE... [--illuminant NAME[,NAME...]] [--observer 2|10] [--indices]\n"
    "                    [--metamerism STANDARD]\n";

constexpr const char* kHelp = R"(
Computes X, Y, Z, x, y and CIELAB of every spectrum in the files under the illuminants named,
with weights at the spectrum's own wavelengths, and its Munsell notation (always from
illuminant C 2 deg, the renotation's own conditions). One CSV line per sample and illuminant:

  sample,illuminant,observer,X,Y,Z,x,y,L*,a*,b*,notation[,W,T,YI][,metamerism]

FILE is a plain spectral file as "Import" reads it (a header line, 40 reflectances 360..750 nm)
or a CGATS.17 file with spectral fields (every sample; 1 to 20 nm apart; named SPECTRAL_NMnnn,
SPECTRAL_NM_nnn, SPECTRAL_nnn, SPEC_nnn, NM_nnn, nmnnn or Rnnn). Factors 0..1 or percent are told
once per file: SPECTRAL_NORM 1 or 100 where the file says it, else percent when any value is
above 2.

  --illuminant LIST  any of A, C, D50, D55, D65, D75, F2, F7, F11, E, or "all" (default D65)
  --observer O       2 or 10 (default 10), or "both"
  --indices          CIE whiteness W and tint T and ASTM E313 yellowness YI, under D65 with
                     the observer of the line
  --metamerism STANDARD
                     the metamerism index (CIEDE2000, multiplicative correction at D65) of each
                     sample against the first spectrum of STANDARD under the line's illuminant
  -h, --help         this text

Exit status: 0 done; 1 a file could not be read (the others are still written); 2 bad usage.
)";

// ",value" with four decimals; a value that rounds to zero shows no minus sign, one that is not
// defined (the whiteness of a black) is left empty.
void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += ',';
        return;
    }
    // With the point whatever the locale, rounded as printf's "%.4f" rounds.
    char buf[64];
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
    const std::string_view text(buf, error == std::errc() ? std::size_t(end - buf) : 0);
    out += ',';
    out += text == "-0.0000" ? std::string_view("0.0000") : text;
}

struct Request {
    std::vector<std::string> files;
    std::vector<Illuminant> illuminants;
    std::vector<Observer> observers{Observer::Deg10};
    bool indices = false;
    std::string standardFile;
};

std::string parseIlluminants(const std::string& list, std::vector<Illuminant>& out) {
    out.clear();
    if (QString::fromStdString(list).compare("all", Qt::CaseInsensitive) == 0) {
        out.assign(kIlluminantList.begin(), kIlluminantList.end());
        return {};
    }
    for (const QString& name : QString::fromStdString(list).split(',')) {
        const auto i = illuminantNamed(name.trimmed().toStdString());
        if (!i) return "unknown illuminant \"" + name.toStdString() + "\"";
        out.push_back(*i);
    }
    return {};
}

int run(const Invocation& inv) {
    Request r;
    for (const Arg& a : inv.args) {
        std::string error;
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        if (a.kind == Arg::Kind::Positional)
            r.files.push_back(a.value);
        else if (a.is("--illuminant"))
            error = parseIlluminants(a.value, r.illuminants);
        else if (a.is("--observer")) {
            if (a.value == "2")
                r.observers = {Observer::Deg2};
            else if (a.value == "10")
                r.observers = {Observer::Deg10};
            else if (a.value == "both")
                r.observers = {Observer::Deg2, Observer::Deg10};
            else
                error = "the observer is 2, 10 or both, not \"" + a.value + "\"";
        } else if (a.is("--indices"))
            r.indices = true;
        else if (a.is("--metamerism"))
            r.standardFile = a.value;
        if (!error.empty()) return inv.usageError(error);
    }
    if (r.files.empty()) return inv.usageError("no spectral file given");
    if (r.illuminants.empty()) r.illuminants = {Illuminant::D65};

    std::optional<Spectrum> standard;
    if (!r.standardFile.empty()) {
        try {
            standard = readSpectrumFile(QString::fromStdString(r.standardFile)).front().spectrum;
            weightTable({}, standard->start, standard->interval,
                        static_cast<int>(standard->values.size()));
        } catch (const std::exception& e) {
            return inv.fail(r.standardFile + ": " + e.what());
        }
    }
    QCoreApplication app(inv.argc, inv.argv); // the data folder beside the program
    const auto table = loadTable("spectral");
    if (!table) return 1;
    NotationFinder notation(table);

    std::string out = "sample,illuminant,observer,X,Y,Z,x,y,L*,a*,b*,notation";
    if (r.indices) out += ",W,T,YI";
    if (standard) out += ",metamerism";
    out += '\n';
    std::cout << out;
    int status = 0;
    for (const std::string& file : r.files) {
        std::vector<NamedSpectrum> spectra;
        std::string note;
        try {
            spectra = readSpectrumFile(QString::fromStdString(file), &note);
        } catch (const std::exception& e) {
            status = inv.fail(file + ": " + e.what());
            continue;
        }
        if (!note.empty()) std::cerr << "zul spectral: " << printable(file + ": " + note) << '\n';
        for (const NamedSpectrum& s : spectra) {
            try {
                const std::string munsell = notation(s.spectrum);
                out.clear();
                for (Observer o : r.observers) {
                    const Whiteness w = r.indices ? whiteness(s.spectrum, o) : Whiteness{};
                    for (Illuminant i : r.illuminants) {
                        const ConditionColour c = colourUnder(s.spectrum, {i, o});
                        appendCsvField(out, std::string_view(s.name));
                        out += ',';
                        out += illuminantName(i);
                        out += ',';
                        out += observerText(o);
                        for (double v :
                             {c.xyz.x, c.xyz.y, c.xyz.z, c.x, c.y, c.lab.l, c.lab.a, c.lab.b})
                            appendNumber(out, v);
                        out += ',';
                        appendCsvField(out, std::string_view(munsell));
                        if (r.indices)
                            for (double v : {w.w, w.t, w.yi})
                                appendNumber(out, v);
                        if (standard)
                            appendNumber(out, metamerismIndex(*standard, s.spectrum, {i, o}));
                        out += '\n';
                    }
                }
                std::cout << out;
            } catch (const std::exception& e) {
                status = inv.fail(file + ": sample " + s.name + ": " + e.what());
            }
        }
    }
    // A table that did not reach its reader (a full disk, a closed pipe) is a failure.
    if (!std::cout.flush()) return inv.fail("standard output could not be written");
    return status;
}

} // namespace

Command spectralCommand() {
    return {"spectral",
            "zul spectral FILE... [--illuminant NAME[,NAME...]] [--observer 2|10] [OPTION...]",
            "colorimetry of spectra under standard illuminants and observers",
            kUsage,
            kHelp,
            {{"--illuminant", true},
             {"--observer", true},
             {"--metamerism", true},
             {"--indices", false}},
            run,
            {"unknown argument", "needs a value"}};
}

} // namespace zul::cli
