// The priority of work that runs beside the user-interface thread: a thread
// that computes for long (the archives' digests) yields the processor to the
// window when both want it, so the window answers at once however many such
// threads keep the cores busy.
#pragma once

namespace platform {

// Lowers the calling thread's priority below the user-interface thread's.
void RunThisThreadInBackground();

}  // namespace platform
