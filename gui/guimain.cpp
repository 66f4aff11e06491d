// The window face of the program: load the renotation table, start the workbench, show the
// main window.
#include "gui/gui.h"
#include "gui/mainwindow.h"
#include "gui/manualwindow.h"
#include "gui/preferences.h"
#include "gui/qtdialogs.h"
#include "gui/switchboard.h"
#include "gui/windows.h"
#include "munsell/table.h"
#include "text/errors.h"
#include "text/options.h"
#include "viewer/paletteviewerwindow.h"
#include "workbench/datafiles.h"
#include "workbench/workbench.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSettings>
#include <QSize>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zul {

namespace {
// Where start-up found its files: QT_LOGGING_RULES="zul.startup.info=true" shows it.
Q_LOGGING_CATEGORY(lcStartup, "zul.startup", QtWarningMsg)

// The window face's own options; everything else goes to the application object as given.
const std::vector<OptionRule> kWindowOptions = {
    {"--open", true}, {"--manual", false}, {"--screenshot", true}, {"--screenshot-size", true}};
// Qt's own options that take a value (the application objects and the X11 platform), handed on
// with their values.
const std::vector<OptionRule> kQtOptions = [] {
    std::vector<OptionRule> rules;
    for (const char* name :
         {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
          "-geometry", "-qwindowtitle", "-title", "-qwindowicon", "-icon", "-session", "-display",
          "-name", "-style", "-stylesheet"})
        rules.push_back({name, true});
    return rules;
}();

// `--screenshot FILE [--screenshot-size WxH]`: the pictures of the manual. The window is drawn
// offscreen as it shows after start-up, the Munsell entry converted, and saved as FILE.
struct Screenshot {
    QString file;
    QSize size; // invalid: the window's own size
};

struct WindowOptions {
    std::vector<Switch> open; // `--open hue,value,...`: the window switches to tick after start-up
    bool manual = false;
    std::optional<Screenshot> screenshot;
};

// Adds the windows of a `--open` list; false (with a message) for a name that is no switch.
bool addOpenWindows(const std::string& list, std::vector<Switch>& open) {
    static const std::pair<const char*, Switch> names[] = {
        {"hue", Switch::HuePage},           {"tolerance", Switch::Tolerance},
        {"value", Switch::ValuePage},       {"colorchecker", Switch::ColorChecker},
        {"picture", Switch::ImageAnalysis}, {"viewer", Switch::Viewer},
        {"spectral", Switch::Spectral},     {"qc", Switch::QualityControl}};
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = list.find(',', from);
        const std::string name = list.substr(from, comma - from);
        bool known = false;
        for (const auto& [n, s] : names)
            if (name == n) {
                open.push_back(s);
                known = true;
            }
        if (!known) {
            std::cerr
                << "zul: --open: unknown window \"" << name
                << "\" (hue, value, tolerance, colorchecker, picture, viewer, spectral, qc)\n";
            return false;
        }
        if (comma == std::string::npos) return true;
        from = comma + 1;
    }
}

// The window face's options taken out of the arguments, which keep argv[0] and what is Qt's.
// Empty (with a message) on a fault.
std::optional<WindowOptions> takeWindowOptions(std::vector<std::string>& args) {
    SplitArguments split = splitArguments(args, kWindowOptions, kQtOptions);
    args.resize(1);
    args.insert(args.end(), split.rest.begin(), split.rest.end());
    WindowOptions options;
    std::optional<std::string> file, size; // the last one counts
    for (const Arg& a : split.own) {
        if (a.kind == Arg::Kind::Error) {
            std::cerr << "zul: " << a.value << "\n";
            return std::nullopt;
        }
        if (a.is("--open") && !addOpenWindows(a.value, options.open)) return std::nullopt;
        if (a.is("--manual")) options.manual = true;
        if (a.is("--screenshot")) file = a.value;
        if (a.is("--screenshot-size")) size = a.value;
    }
    if (!file) return options;
    Screenshot shot{QString::fromLocal8Bit(file->c_str()), {}};
    if (size) {
        const QStringList wh = QString::fromLatin1(size->c_str()).split('x');
        const int w = wh.size() == 2 ? wh[0].toInt() : 0;
        const int h = wh.size() == 2 ? wh[1].toInt() : 0;
        if (w <= 0 || h <= 0) {
            std::cerr << "zul: --screenshot-size: \"" << *size << "\" is not WIDTHxHEIGHT\n";
            return std::nullopt;
        }
        shot.size = QSize(w, h);
    }
    options.screenshot = shot;
    return options;
}

// The window to draw: the manual, else the last window --open names, else the main window.
QWidget* screenshotWindow(QWidget* manual, const std::vector<Switch>& open,
                          const Switchboard& board, QWidget* main) {
    if (manual) return manual;
    if (!open.empty() && board.window(open.back())) return board.window(open.back());
    return main;
}

constexpr const char* kNoDisplay = "zul: no display; the commands of zul --help run without one\n";

// Where the window system cannot start, Qt ends the program with an abort; the user gets one
// line and status 2 instead. The platform's own warnings are held back until it has started.
QStringList g_heldBack;
void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::cerr << kNoDisplay;
        std::_Exit(2);
    }
    g_heldBack << (context.category && std::strcmp(context.category, "default") != 0
                       ? QString::fromUtf8(context.category) + ": " + text
                       : text);
}

// True when a window system is named or reachable: an explicit platform, X or Wayland.
bool displayNamed(const std::vector<std::string>& args) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
    for (std::size_t i = 1; i < args.size(); ++i)
        if (args[i] == "-platform") return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int runGui(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--reset-settings") == 0) {
        // The next start looks as the first: window sizes, illuminant, switches, folders.
        QString error;
        const QString file = forgetPreferences(&error);
        if (!error.isEmpty()) {
            std::cerr << "zul: " << error.toLocal8Bit().constData() << '\n';
            return 1;
        }
        std::cout << "zul: preferences forgotten (" << file.toStdString() << ")\n";
        return 0;
    }
    std::vector<std::string> args(argv, argv + argc);
    const std::optional<WindowOptions> options = takeWindowOptions(args);
    if (!options) return 2;
    const std::vector<Switch>& open = options->open;
    const bool openManual = options->manual;
    const std::optional<Screenshot>& screenshot = options->screenshot;
    if (!displayNamed(args)) {
        std::cerr << kNoDisplay;
        return 2;
    }
    // The application object keeps (and may take from) the arguments it is given.
    std::vector<char*> qtArgv;
    for (std::string& a : args)
        qtArgv.push_back(a.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(args.size());
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(qtArgc, qtArgv.data());
    qInstallMessageHandler(previous);
    for (const QString& line : std::exchange(g_heldBack, {}))
        std::cerr << line.toLocal8Bit().constData() << '\n';
    QApplication::setApplicationName("ZUL");
    QApplication::setDesktopFileName("zul"); // the launcher entry, for the window's icon

    // Every conversion needs the whole table: without it the program does not start.
    const QString tableFile = findDataFile("Muncie.dat");
    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(QFile::encodeName(tableFile).toStdString());
    } catch (const DataFileError& e) {
        // The error names the file and the fault; also on standard error for a terminal.
        qCCritical(lcStartup, "The Munsell renotation table cannot be loaded: %s", e.what());
        QMessageBox::critical(nullptr, "ZUL",
                              "The Munsell renotation table cannot be loaded:\n" +
                                  QString::fromLocal8Bit(e.what()));
        return 1;
    }
    qCInfo(lcStartup, "renotation table %s",
           qUtf8Printable(QFileInfo(tableFile).absoluteFilePath()));
    qCInfo(lcStartup, "user manual %s", qUtf8Printable(findManual()));

    QtDialogs dialogs;
    dialogs.beep(); // the table is in
    Workbench workbench(table, dialogs);
    workbench.startUp();
    QString preferencesRefused;
    const std::unique_ptr<QSettings> preferences = openPreferences(&preferencesRefused);
    if (!preferencesRefused.isEmpty())
        std::cerr << "zul: " << preferencesRefused.toLocal8Bit().constData()
                  << "; the preferences are neither read nor saved\n";
    restoreWorkbenchPreferences(*preferences, workbench);
    MainWindow window(workbench);
    placeWindow(window, 0, preferences.get(), "main");
    Switchboard switchboard(workbench);
    switchboard.setMainWindow(&window);
    switchboard.setPreferences(preferences.get());
    registerWindows(switchboard, workbench);
    window.show();
    // A table from the working folder replaces the shipped one: say so where the user looks.
    if (const QString notice = dataFileNotice("Muncie.dat", tableFile); !notice.isEmpty()) {
        qCWarning(lcStartup, "%s", qUtf8Printable(notice));
        workbench.showNotice(notice);
    }
    ManualWindow* manual = nullptr;
    // Ticked as the user ticks them: the main window's switches follow.
    QTimer::singleShot(0, &window, [&] {
        for (Switch s : open)
            switchboard.open(s);
        // A picture is of one moment: the viewer's solid stays at its first angle.
        auto* viewer = qobject_cast<PaletteViewerWindow*>(switchboard.window(Switch::Viewer));
        if (screenshot && viewer) viewer->stopRotation();
        if (openManual) {
            manual = new ManualWindow({}, &window);
            manual->setWindowFlag(Qt::Window);
            manual->show();
        }
    });
    if (screenshot) {
        workbench.enterPressed(Field::Hue);
        // Long enough for background loads (the viewer's palette) and the first paints.
        QTimer::singleShot(1500, &window, [&] {
            QWidget* shown = screenshotWindow(manual, open, switchboard, &window);
            if (screenshot->size.isValid()) shown->resize(screenshot->size);
            QCoreApplication::processEvents();
            if (!shown->grab().save(screenshot->file)) {
                std::cerr << "zul: --screenshot: cannot write " << qPrintable(screenshot->file)
                          << "\n";
                QCoreApplication::exit(1);
                return;
            }
            QCoreApplication::quit();
        });
    }
    const int status = app.exec();
    saveWorkbenchPreferences(*preferences, workbench);
    saveWindowGeometry(*preferences, window, "main");
    switchboard.saveGeometries(*preferences);
    return status;
}

} // namespace zul
