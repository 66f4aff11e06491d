#include "app/windows.h"

#include "app/printing.h"
#include "app/switchboard.h"
#include "charts/colorcheckerwindow.h"
#include "charts/huepagewindow.h"
#include "charts/tolerancewindow.h"
#include "charts/valuepagewindow.h"
#include "imaging/form2.h"
#include "viewer/form3.h"
#include "workbench/workbench.h"

namespace zul {

void registerWindows(Switchboard& board, Workbench& workbench) {
    board.registerWindow(Switch::ImageAnalysis, [&] { return new Form2(workbench); });
    board.registerWindow(Switch::Viewer, [&] { return new Form3(workbench); });
    board.registerWindow(Switch::HuePage,
                         [&] { return new HuePageWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::ValuePage,
                         [&] { return new ValuePageWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::Tolerance,
                         [&] { return new ToleranceWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::ColorChecker,
                         [&] { return new ColorCheckerWindow(workbench, chartOutput()); });
    connectViewer(board, workbench);
}

void connectViewer(Switchboard& board, Workbench& workbench) {
    // "Save to Palette" while the viewer is switched on: it shows the current palette file.
    QObject::connect(&workbench, &Workbench::viewerReload, &board, [&board] {
        if (auto* viewer = qobject_cast<Form3*>(board.window(Switch::Viewer))) viewer->GetData(2);
    });
    // Another window hands a file: the viewer is made if need be, loads it and is shown.
    QObject::connect(&workbench, &Workbench::paletteViewRequested, &board,
                     [&board, &workbench](const QString& fileName) {
                         auto* viewer = qobject_cast<Form3*>(board.ensureWindow(Switch::Viewer));
                         if (!viewer) return;
                         viewer->loadPalette(fileName);
                         if (!workbench.switchOn(Switch::Viewer))
                             workbench.setSwitch(Switch::Viewer, true);
                         viewer->show();
                         viewer->raise();
                     });
}

} // namespace zul
