#include "app/windows.h"

#include "app/printing.h"
#include "app/switchboard.h"
#include "charts/colorcheckerwindow.h"
#include "charts/huepagewindow.h"
#include "charts/tolerancewindow.h"
#include "charts/valuepagewindow.h"
#include "workbench/workbench.h"

namespace zul {

void registerWindows(Switchboard& board, Workbench& workbench) {
    // Each subsystem adds its window here:
    //   board.registerWindow(Switch::HuePage, [&] { return new HuePageWindow(workbench); });
    board.registerWindow(Switch::HuePage,
                         [&] { return new HuePageWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::ValuePage,
                         [&] { return new ValuePageWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::Tolerance,
                         [&] { return new ToleranceWindow(workbench, chartOutput()); });
    board.registerWindow(Switch::ColorChecker,
                         [&] { return new ColorCheckerWindow(workbench, chartOutput()); });
}

} // namespace zul
