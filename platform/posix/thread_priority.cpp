#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace platform {

namespace {
// A nice value, for this thread alone (Linux gives each thread its own).
constexpr int kBackgroundNice = 10;
}  // namespace

void RunThisThreadInBackground() {
  (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kBackgroundNice);
}

}  // namespace platform
