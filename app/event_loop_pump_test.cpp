// The window's message queue is pumped by every processing of pending
// events: before the posted work (so a long step's screen is current and its
// clicks are taken), and never once the system is stopping.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
