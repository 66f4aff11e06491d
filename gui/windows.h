#pragma once
// Registers each subsystem's window with the switchboard: one line per window.
namespace zul {

class Switchboard;
class Workbench;

void registerWindows(Switchboard& board, Workbench& workbench);
// The palette viewer's reload and hand-over requests from the workbench.
void connectViewer(Switchboard& board, Workbench& workbench);

} // namespace zul
