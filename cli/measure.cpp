// `zul measure`: one calibration and/or measurement exchange, or a spectral import, without a
// window, printed as `zul convert` prints a colour.
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/convert.h"
#include "instruments/panel.h"
#include "instruments/settings.h"
#include "records/csvline.h"
#include "text/numtext.h"
#include "text/printable.h"
#include "workbench/dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include <cstdio>
#include <iostream>

namespace zul::cli {

namespace {

const char* const kUsage =
    "usage: zul measure --instrument NAME (--port N | --device PATH | --file F) [--calibrate]\n"
    "                   [--answer \"QUESTION=yes|no|ok|cancel\"]... [--spectrum] [--log FILE|-]\n"
    "  NAME is one of Import, CE7000, CE7000A, CE2180, XTH, Ci5/Ci7, Spectrolino, SpectroEye.\n"
    "  --port N uses $ZUL_COMM<N> or /dev/ttyS<N-1>; $ZUL_COMM<N>=sim:PROTOCOL[,FAULT...] runs a\n"
    "  simulated instrument. Questions without an --answer are answered Cancel.\n"
    "  Exit status: 0 measured, 1 refused or bad data, 2 usage, 3 not connected, timed out or\n"
    "  disconnected, 4 port not opened.\n";

// A box's text on standard error, each of its lines (CR LF in the box) a line of its own.
void printBox(const QString& text) {
    for (const QString& line : text.split(QRegularExpression("\r\n|\r|\n")))
        std::cerr << "zul measure: " << printable(line.toStdString()) << '\n';
}

// Boxes go to standard error; questions take the scripted answers; the file is --file.
class MeasureDialogs : public Dialogs {
public:
    Answer message(const QString& text, const QString& title, Buttons buttons) override {
        if (buttons == Buttons::Ok) {
            lastShown = text;
            printBox(text);
            return Answer::Ok;
        }
        // A question is answered by its text or by its title (the step's name).
        const Answer a = answers.value(text, answers.value(title, Answer::Cancel));
        std::cerr << "zul measure: " << printable(text.toStdString()) << "? "
                  << (a == Answer::Yes  ? "yes"
                      : a == Answer::No ? "no"
                      : a == Answer::Ok ? "ok"
                                        : "cancel")
                  << '\n';
        return a;
    }
    QString prompt(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return file; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    void alert(Icon, const QString& text, const QString&) override {
        lastShown = text;
        printBox(text);
    }
    bool confirm(const QString& question, const QString& title) override {
        return message(question, title, Buttons::YesNo) == Answer::Yes;
    }

    QMap<QString, Answer> answers;
    QString file;
    QString lastShown;
};

int exitStatus(instruments::Outcome::Kind kind) {
    using Kind = instruments::Outcome::Kind;
    switch (kind) {
    case Kind::Done:
        return 0;
    case Kind::NoReply:
        return 3;
    case Kind::PortNotOpened:
        return 4;
    case Kind::Refused:
    case Kind::Stopped:
    case Kind::Cancelled:
        break;
    }
    return 1;
}

struct Request {
    QString name, device, file, logTo;
    int port = 0;
    bool calibrate = false, spectrum = false;
};

// The options in order; the usage error or empty.
std::string take(const Arg& a, Request& r, MeasureDialogs& dialogs) {
    const QString q = QString::fromStdString(a.value);
    if (a.kind == Arg::Kind::Positional) return "unknown argument \"" + a.value + "\"";
    if (a.is("--calibrate")) r.calibrate = true;
    if (a.is("--spectrum")) r.spectrum = true;
    if (a.is("--instrument")) r.name = q;
    if (a.is("--device")) r.device = q;
    if (a.is("--file")) r.file = q;
    if (a.is("--log")) r.logTo = q;
    if (a.is("--port")) {
        r.port = instruments::clampPort(q);
        if (QString::number(r.port) != q.trimmed())
            return "--port takes 1, 2, 3 or 4, not \"" + a.value + "\"";
    }
    if (a.is("--answer")) {
        const qsizetype eq = q.lastIndexOf('=');
        const QString reply = eq < 0 ? QString() : q.mid(eq + 1).toLower();
        const QMap<QString, Dialogs::Answer> replies = {{"yes", Dialogs::Answer::Yes},
                                                        {"no", Dialogs::Answer::No},
                                                        {"ok", Dialogs::Answer::Ok},
                                                        {"cancel", Dialogs::Answer::Cancel}};
        if (eq <= 0 || !replies.contains(reply))
            return "--answer takes \"QUESTION=yes|no|ok|cancel\", not \"" + a.value + "\"";
        dialogs.answers[q.left(eq)] = replies[reply];
    }
    return {};
}

// The instrument's reply as `zul convert` prints a colour, with the reflectances for
// --spectrum.
std::string resultLine(Workbench& wb, const instruments::InstrumentPanel& panel, const Request& r) {
    std::string out = outputHeader(ConvertOptions{});
    if (r.spectrum) {
        out.pop_back();
        for (int nm = 360; nm <= 750; nm += 10)
            out += ",%R" + std::to_string(nm);
        out += '\n';
    }
    for (int f = 0; f < static_cast<int>(Field::Count) - 1; ++f) {
        appendCsvField(out, wb.text(static_cast<Field>(f)));
        out += ',';
    }
    QStringList note;
    if (!wb.munsellNote().isEmpty()) note << wb.munsellNote();
    if (!wb.rangeWarning().isEmpty()) note << wb.rangeWarning();
    if (!panel.message().isEmpty() && r.name == "Import") note << panel.message();
    appendCsvField(out, QString::fromStdString(printable(note.join("; ").toStdString())));
    if (r.spectrum)
        for (float v : wb.reflectance())
            out += ',' + plainText(v);
    out += '\n';
    return out;
}

int run(const Invocation& inv) {
    Request r;
    MeasureDialogs dialogs;
    for (const Arg& a : inv.args) {
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        if (const std::string error = take(a, r, dialogs); !error.empty())
            return inv.usageError(error);
    }
    if (r.name.isEmpty()) return inv.usageError("--instrument is required");
    const bool import = r.name == "Import";
    if (import && r.file.isEmpty()) return inv.usageError("--instrument Import needs --file");
    if (!import && (r.port == 0) == r.device.isEmpty())
        return inv.usageError("give one of --port or --device");
    if (import && r.calibrate) return inv.usageError("Import has nothing to calibrate");
    dialogs.file = r.file;

    if (!QCoreApplication::instance()) new QCoreApplication(inv.argc, inv.argv); // to the end
    const auto table = loadTable("measure");
    if (!table) return 1;
    Workbench wb(table, dialogs);
    WindowSettings().applyTo(wb);
    instruments::InstrumentPanel panel(wb);
    panel.setInstrument(r.name, r.port == 0 ? 1 : r.port);
    if (!r.device.isEmpty())
        panel.setLinkFactory([device = r.device](int, instruments::Clock& clock) {
            return instruments::linkForDevice(device, clock);
        });
    FILE* logFile = nullptr;
    if (!r.logTo.isEmpty()) {
        logFile = r.logTo == "-" ? stderr : std::fopen(QFile::encodeName(r.logTo).constData(), "w");
        if (!logFile)
            return inv.usageError("cannot write the log to \"" + r.logTo.toStdString() + "\"");
        panel.log().setSink([logFile](const QString& line) {
            std::fprintf(logFile, "%s\n", printable(line.toStdString()).c_str());
            std::fflush(logFile);
        });
    }
    // The message field, line by line (a box's text is not repeated).
    QObject::connect(&panel, &instruments::InstrumentPanel::messageShown, [&](const QString& t) {
        if (t.isEmpty() || t == dialogs.lastShown) return;
        std::cerr << "zul measure: " << printable(t.toStdString()) << '\n';
    });
    using Kind = instruments::Outcome::Kind;
    Kind kind = Kind::Done;
    if (r.calibrate) kind = panel.calibratePressed();
    if (kind == Kind::Done) kind = panel.measurePressed();
    if (logFile && logFile != stderr) std::fclose(logFile);
    if (kind != Kind::Done) return exitStatus(kind);
    std::cout << resultLine(wb, panel, r) << std::flush;
    // A reading that did not reach its reader (a full disk, a closed pipe) is a failure.
    if (!std::cout) return inv.fail("standard output could not be written");
    return 0;
}

} // namespace

Command measureCommand() {
    return {"measure",
            "zul measure --instrument NAME (--port N | --device PATH | --file F) [OPTION...]",
            "measure or import one spectral sample without a window",
            kUsage,
            nullptr,
            {{"--instrument", true},
             {"--device", true},
             {"--file", true},
             {"--log", true},
             {"--port", true},
             {"--answer", true},
             {"--calibrate", false},
             {"--spectrum", false}},
            run,
            {"unknown argument", "needs a value"}};
}

} // namespace zul::cli
