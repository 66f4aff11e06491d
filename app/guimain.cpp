// The window face of the program: load the renotation table, start the workbench, show the
// main window.
#include "workbench/datafiles.h"
#include "app/entrypoints.h"
#include "app/mainwindow.h"
#include "app/qtdialogs.h"
#include "app/switchboard.h"
#include "app/windows.h"
#include "workbench/workbench.h"
#include "munsell/table.h"
#include "text/errors.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

namespace zul {

int runGui(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ZUL");

    // Every conversion needs the whole table: without it the program does not start.
    const QString tableFile = findDataFile("Muncie.dat");
    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(QFile::encodeName(tableFile).toStdString());
    } catch (const DataFileError& e) {
        // The error names the file and the fault.
        QMessageBox::critical(nullptr, "ZUL",
                              "The Munsell renotation table cannot be loaded:\n" +
                                  QString::fromLocal8Bit(e.what()));
        return 1;
    }

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
