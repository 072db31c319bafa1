#include "platform/thread_priority.h"

#include "platform/win32/windows_api.h"

namespace platform {

void RunThisThreadInBackground() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace platform
