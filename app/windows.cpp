#include "app/windows.h"

#include "app/switchboard.h"
#include "imaging/form2.h"
#include "workbench/workbench.h"

namespace zul {

void registerWindows(Switchboard& board, Workbench& workbench) {
    // Each subsystem adds its window here:
    //   board.registerWindow(Switch::HuePage, [&] { return new HuePageWindow(workbench); });
    board.registerWindow(Switch::ImageAnalysis, [&] { return new Form2(workbench); });
    (void)board;
    (void)workbench;
}

} // namespace zul
