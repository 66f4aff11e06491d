// `zul measure`: one calibration and/or measurement exchange, or a spectral import, without a
// window, printed as `zul convert` prints a colour.
#include "app/cli_commands.h"
#include "app/cli_convert.h"
#include "instruments/panel.h"
#include "instruments/settings.h"
#include "munsell/table.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/csvline.h"
#include "workbench/datafiles.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>

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

int usage(const std::string& message) {
    std::cerr << "zul measure: " << message << '\n' << kUsage;
    return 2;
}

// Boxes go to standard error; questions take the scripted answers; the file is --file.
class MeasureDialogs : public Dialogs {
public:
    Answer message(const QString& text, const QString&, Buttons buttons) override {
        if (buttons == Buttons::Ok) {
            lastShown = text;
            std::cerr << "zul measure: " << text.toStdString() << '\n';
            return Answer::Ok;
        }
        const Answer a = answers.value(text, Answer::Cancel);
        std::cerr << "zul measure: " << text.toStdString() << "? "
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
        std::cerr << "zul measure: " << text.toStdString() << '\n';
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
        break;
    }
    return 1;
}

} // namespace

int runMeasure(const std::vector<std::string>& args, int& argc, char** argv) {
    QString name, device, file, logTo;
    int port = 0;
    bool calibrate = false, spectrum = false;
    MeasureDialogs dialogs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--calibrate") {
            calibrate = true;
        } else if (a == "--spectrum") {
            spectrum = true;
        } else if (a == "--instrument" || a == "--device" || a == "--file" || a == "--log" ||
                   a == "--port" || a == "--answer") {
            if (!value(v)) return usage(a + " needs a value");
            const QString q = QString::fromStdString(v);
            if (a == "--instrument")
                name = q;
            else if (a == "--device")
                device = q;
            else if (a == "--file")
                file = q;
            else if (a == "--log")
                logTo = q;
            else if (a == "--port") {
                port = instruments::clampPort(q);
                if (QString::number(port) != q.trimmed())
                    return usage("--port takes 1, 2, 3 or 4, not \"" + v + "\"");
            } else {
                const qsizetype eq = q.lastIndexOf('=');
                const QString reply = eq < 0 ? QString() : q.mid(eq + 1).toLower();
                const QMap<QString, Dialogs::Answer> replies = {
                    {"yes", Dialogs::Answer::Yes},
                    {"no", Dialogs::Answer::No},
                    {"ok", Dialogs::Answer::Ok},
                    {"cancel", Dialogs::Answer::Cancel}};
                if (eq <= 0 || !replies.contains(reply))
                    return usage("--answer takes \"QUESTION=yes|no|ok|cancel\", not \"" + v + "\"");
                dialogs.answers[q.left(eq)] = replies[reply];
            }
        } else {
            return usage("unknown argument \"" + a + "\"");
        }
    }
    if (name.isEmpty()) return usage("--instrument is required");
    const bool import = name == "Import";
    if (import && file.isEmpty()) return usage("--instrument Import needs --file");
    if (!import && (port == 0) == device.isEmpty()) return usage("give one of --port or --device");
    if (import && calibrate) return usage("Import has nothing to calibrate");
    dialogs.file = file;

    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv); // lives to the end
    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(findDataFile("Muncie.dat").toStdString());
    } catch (const Error& e) {
        std::cerr << "zul measure: " << e.what() << '\n';
        return 1;
    }
    Workbench wb(table, dialogs);
    wb.startUp();
    instruments::InstrumentPanel panel(wb);
    panel.setInstrument(name, port == 0 ? 1 : port);
    if (!device.isEmpty())
        panel.setLinkFactory([device](int, instruments::Clock& clock) {
            return instruments::linkForDevice(device, clock);
        });
    FILE* logFile = nullptr;
    if (!logTo.isEmpty()) {
        logFile = logTo == "-" ? stderr : std::fopen(QFile::encodeName(logTo).constData(), "w");
        if (!logFile) return usage("cannot write the log to \"" + logTo.toStdString() + "\"");
        panel.log().setSink([logFile](const QString& line) {
            std::fprintf(logFile, "%s\n", line.toUtf8().constData());
            std::fflush(logFile);
        });
    }
    // The message field, line by line (a box's text is not repeated).
    QObject::connect(&panel, &instruments::InstrumentPanel::messageShown, [&](const QString& t) {
        if (t.isEmpty() || t == dialogs.lastShown) return;
        std::cerr << "zul measure: " << t.toStdString() << '\n';
    });
    using Kind = instruments::Outcome::Kind;
    Kind kind = Kind::Done;
    if (calibrate) kind = panel.calibratePressed();
    if (kind == Kind::Done) kind = panel.measurePressed();
    if (logFile && logFile != stderr) std::fclose(logFile);
    if (kind != Kind::Done) return exitStatus(kind);

    std::string out = outputHeader(ConvertOptions{});
    if (spectrum) {
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
    if (!panel.message().isEmpty() && import) note << panel.message();
    appendCsvField(out, note.join("; "));
    if (spectrum)
        for (float r : wb.reflectance())
            out += ',' + plainText(r);
    out += '\n';
    std::cout << out << std::flush;
    return 0;
}

} // namespace zul::cli
