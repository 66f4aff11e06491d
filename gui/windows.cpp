#include "gui/windows.h"

#include "charts/colorcheckerwindow.h"
#include "charts/huepagewindow.h"
#include "charts/tolerancewindow.h"
#include "charts/valuepagewindow.h"
#include "gui/printing.h"
#include "gui/switchboard.h"
#include "imaging/picturewindow.h"
#include "qc/qcwindow.h"
#include "spectral/spectralwindow.h"
#include "viewer/paletteviewerwindow.h"
#include "widgets/filedrop.h"
#include "workbench/workbench.h"

namespace zul {

void registerWindows(Switchboard& board, Workbench& workbench) {
    board.registerWindow(Switch::ImageAnalysis, [&] {
        auto* picture = new PictureWindow(workbench);
        // A picture dropped on the window opens as a chosen one.
        new FileDrop(picture,
                     {"jpg", "jpeg", "png", "tif", "tiff", "webp", "bmp", "gif", "ppm", "pgm"},
                     [picture](const QString& file) { picture->openPictureFile(file); });
        return picture;
    });
    board.registerWindow(Switch::Viewer, [&] {
        auto* viewer = new PaletteViewerWindow(workbench);
        new FileDrop(viewer, {"csv"}, [viewer](const QString& file) { viewer->loadPalette(file); });
        QObject::connect(viewer, &PaletteViewerWindow::mainWindowRequested, &board,
                         &Switchboard::showMainWindow);
        return viewer;
    });
    board.registerWindow(Switch::HuePage,
                         [&] { return new HuePageWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::ValuePage,
                         [&] { return new ValuePageWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::Tolerance,
                         [&] { return new ToleranceWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::ColorChecker,
                         [&] { return new ColorCheckerWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::Spectral, [&] { return new spectral::SpectralWindow(workbench); });
    board.registerWindow(Switch::QualityControl, [&] { return new QcWindow(workbench); });
    connectViewer(board, workbench);
}

void connectViewer(Switchboard& board, Workbench& workbench) {
    // "Save to Palette" while the viewer is switched on: it shows the current palette file.
    QObject::connect(&workbench, &Workbench::viewerReload, &board, [&board] {
        if (auto* viewer = qobject_cast<PaletteViewerWindow*>(board.window(Switch::Viewer)))
            viewer->GetData(2);
    });
    // Another window hands a file: the viewer is made if need be, loads it and is shown.
    QObject::connect(
        &workbench, &Workbench::paletteViewRequested, &board, [&board](const QString& fileName) {
            auto* viewer = qobject_cast<PaletteViewerWindow*>(board.ensureWindow(Switch::Viewer));
            if (!viewer) return;
            viewer->loadPalette(fileName);
            board.open(Switch::Viewer);
            viewer->show();
            viewer->raise();
        });
}

} // namespace zul
