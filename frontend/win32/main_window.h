// Remedor.exe's main window: a borderless window with round corners that
// shows the window model of `TForm1` (placed by frontend/window_view.h, drawn
// by frontend/win32/window_painter.h) and forwards the player's clicks, keys,
// activation and close to `TForm1`; the logic is all there. The window's message queue is pumped by
// the event loop, so long steps keep it painted and clickable.
#pragma once

#include <string>
#include <vector>

namespace frontend::win32 {

// Runs the tool with its window on the real machine until the system stops;
// the process's exit code.
int RunMainWindow(std::vector<std::string> arguments);

}  // namespace frontend::win32
