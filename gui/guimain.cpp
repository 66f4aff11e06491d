// The window face of the program: load the renotation table, start the workbench, show the
// main window.
#include "gui/gui.h"
#include "gui/mainwindow.h"
#include "gui/qtdialogs.h"
#include "gui/switchboard.h"
#include "gui/windows.h"
#include "munsell/table.h"
#include "text/errors.h"
#include "workbench/datafiles.h"
#include "workbench/workbench.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <string>
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
        {"picture", Switch::ImageAnalysis}, {"viewer", Switch::Viewer}};
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
                std::cerr << "zul: --open: unknown window \"" << name
                          << "\" (hue, value, tolerance, colorchecker, picture, viewer)\n";
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

} // namespace

int runGui(int argc, char** argv) {
    std::vector<Switch> open;
    if (!takeOpenOption(argc, argv, open)) return 2;
    QApplication app(argc, argv);
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

    QtDialogs dialogs;
    dialogs.beep(); // the table is in
    Workbench workbench(table, dialogs);
    workbench.startUp();
    MainWindow window(workbench);
    Switchboard switchboard(workbench);
    switchboard.setMainWindow(&window);
    registerWindows(switchboard, workbench);
    window.show();
    // A table from the working folder replaces the shipped one: say so where the user looks.
    if (const QString notice = dataFileNotice("Muncie.dat", tableFile); !notice.isEmpty()) {
        qCWarning(lcStartup, "%s", qUtf8Printable(notice));
        workbench.showNotice(notice);
    }
    // Ticked as the user ticks them: the main window's switches follow.
    QTimer::singleShot(0, &window, [&] {
        for (Switch s : open)
            switchboard.open(s);
    });
    return app.exec();
}

} // namespace zul
