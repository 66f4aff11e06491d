#pragma once
// Registers each subsystem's window with the switchboard: one line per window.
namespace zul {

class Switchboard;
class Workbench;

void registerWindows(Switchboard& board, Workbench& workbench);

} // namespace zul
