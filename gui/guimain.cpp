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

// `--open hue,value,...`: the window switches to tick after start-up, taken out of the
// arguments. False (with a message) for a name that is no switch.
bool takeOpenOption(int& argc, char** argv, std::vector<Switch>& open) {
    static const std::pair<const char*, Switch> names[] = {
        {"hue", Switch::HuePage},           {"tolerance", Switch::Tolerance},
        {"value", Switch::ValuePage},       {"colorchecker", Switch::ColorChecker},
        {"picture", Switch::ImageAnalysis}, {"viewer", Switch::Viewer},
        {"spectral", Switch::Spectral},     {"qc", Switch::QualityControl}};
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        std::string list;
        if (std::strcmp(argv[i], "--open") == 0 && i + 1 < argc) {
            list = argv[++i];
        } else if (std::strncmp(argv[i], "--open=", 7) == 0) {
            list = argv[i] + 7;
        } else {
            argv[out++] = argv[i];
            continue;
        }
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
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
    }
    argc = out;
    argv[out] = nullptr;
    return true;
}

// `NAME VALUE` or `NAME=VALUE` taken out of the arguments; the last one counts.
std::optional<std::string> takeValueOption(int& argc, char** argv, const char* name) {
    std::optional<std::string> value;
    const std::size_t length = std::strlen(name);
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0 && i + 1 < argc)
            value = argv[++i];
        else if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
            value = argv[i] + length + 1;
        else
            argv[out++] = argv[i];
    }
    argc = out;
    argv[out] = nullptr;
    return value;
}

bool takeFlag(int& argc, char** argv, const char* name) {
    int out = 1;
    bool found = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            found = true;
        else
            argv[out++] = argv[i];
    }
    argc = out;
    argv[out] = nullptr;
    return found;
}

// `--screenshot FILE [--screenshot-size WxH]`: the pictures of the manual. The window is drawn
// offscreen as it shows after start-up, the Munsell entry converted, and saved as FILE.
struct Screenshot {
    QString file;
    QSize size; // invalid: the window's own size
};

std::optional<Screenshot> takeScreenshotOption(int& argc, char** argv, bool* ok) {
    *ok = true;
    const std::optional<std::string> file = takeValueOption(argc, argv, "--screenshot");
    const std::optional<std::string> size = takeValueOption(argc, argv, "--screenshot-size");
    if (!file) return std::nullopt;
    Screenshot shot{QString::fromLocal8Bit(file->c_str()), {}};
    if (size) {
        const QStringList wh = QString::fromLatin1(size->c_str()).split('x');
        const int w = wh.size() == 2 ? wh[0].toInt() : 0;
        const int h = wh.size() == 2 ? wh[1].toInt() : 0;
        if (w <= 0 || h <= 0) {
            std::cerr << "zul: --screenshot-size: \"" << *size << "\" is not WIDTHxHEIGHT\n";
            *ok = false;
        }
        shot.size = QSize(w, h);
    }
    return shot;
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
bool displayNamed(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) return true;
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
    std::vector<Switch> open;
    if (!takeOpenOption(argc, argv, open)) return 2;
    const bool openManual = takeFlag(argc, argv, "--manual");
    bool screenshotOk = true;
    const std::optional<Screenshot> screenshot = takeScreenshotOption(argc, argv, &screenshotOk);
    if (!screenshotOk) return 2;
    if (!displayNamed(argc, argv)) {
        std::cerr << kNoDisplay;
        return 2;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
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
