#include "platform/thread_priority.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

namespace platform {
namespace {

int NiceOfThisThread() { return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }

TEST(ThreadPriority, ABackgroundThreadYieldsToTheOthersAndOnlyItself) {
  const int before = NiceOfThisThread();
  int background = before;
  std::thread([&] {
    RunThisThreadInBackground();
    background = NiceOfThisThread();
  }).join();
  EXPECT_GT(background, before);
  EXPECT_EQ(NiceOfThisThread(), before);  // the calling thread's own is untouched
}

}  // namespace
}  // namespace platform
