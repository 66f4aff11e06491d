// The window face of the program: load the renotation table, start the workbench, show the
// main window.
#include "app/entrypoints.h"
#include "app/mainwindow.h"
#include "app/qtdialogs.h"
#include "app/switchboard.h"
#include "app/windows.h"
#include "munsell/table.h"
#include "text/errors.h"
#include "workbench/datafiles.h"
#include "workbench/workbench.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>

namespace zul {

namespace {
// Where start-up found its files: QT_LOGGING_RULES="zul.startup.info=true" shows it.
Q_LOGGING_CATEGORY(lcStartup, "zul.startup", QtWarningMsg)
} // namespace

int runGui(int argc, char** argv) {
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
    registerWindows(switchboard, workbench);
    window.show();
    return app.exec();
}

} // namespace zul
