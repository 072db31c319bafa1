// The window's message queue is pumped by every processing of pending
// events: before the posted work (so a long step's screen is current and its
// clicks are taken), and never once the system is stopping.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/event_loop.h"

namespace {

TEST(EventLoopPump, RunsBeforePostedWorkAndStopsWithTheSystem) {
  app::SimulatedClock clock;
  app::EventLoop loop(clock);
  std::string order;
  loop.SetPlatformPump([&] { order += "P"; });
  loop.Post([&] { order += "w"; });
  loop.ProcessPendingEvents();
  EXPECT_EQ(order, "Pw");

  // A message handled by the pump may stop the system: later processing
  // runs neither the pump nor the work still queued.
  loop.Post([&] { order += "x"; });
  loop.RequestStop();
  loop.ProcessPendingEvents();
  EXPECT_EQ(order, "Pw");
}

// Work another thread is about to hand over runs at the first processing of
// events however late it comes, and takes no time on the simulated clock.
TEST(EventLoopAwaitedWork, RunsAtTheFirstProcessingWhateverTheOtherThreadsSpeed) {
  app::SimulatedClock clock;
  app::EventLoop loop(clock);
  std::atomic<bool> posted{false};
  loop.SetAwaitedWork([&] { return !posted; });
  std::string order;
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    loop.Post([&] { order += "w"; });
    posted = true;
  });
  loop.ProcessPendingEvents();
  order += ".";
  other.join();
  EXPECT_EQ(order, "w.");
  EXPECT_EQ(clock.NowMs(), 0);

  // A stopping system waits for nothing (else this would never return).
  posted = false;
  loop.RequestStop();
  loop.ProcessPendingEvents();
  EXPECT_EQ(order, "w.");
}

}  // namespace
