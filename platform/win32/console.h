// Standard streams for the window-subsystem Remedor.exe when it runs headless
// from a console.
#pragma once

namespace platform::win32 {

// A window-subsystem program started from a console gets no standard handles
// of its own (unless they are redirected, or Wine hands over the host's).
// Keeps the streams that have a handle; binds the others to the parent
// process's console when there is one. False when output has nowhere to go.
bool AttachToParentConsole();

}  // namespace platform::win32
