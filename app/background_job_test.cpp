#include "app/background_job.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace app {
namespace {

TEST(BackgroundJob, WorkRunsInStartOrderWhenEventsAreProcessed) {
  SimulatedClock clock;
  EventLoop loop(clock);
  BackgroundJob first("first"), second("second");
  std::string order;
  first.Start(loop, [&] { order += "1"; });
  second.Start(loop, [&] { order += "2"; });
  EXPECT_TRUE(order.empty());
  EXPECT_FALSE(first.Finished());
  loop.ProcessPendingEvents();
  EXPECT_EQ(order, "12");
  EXPECT_TRUE(first.Finished() && second.Finished());
}

TEST(BackgroundJob, ACancelledJobCountsAsFinishedBeforeItsWorkRuns) {
  SimulatedClock clock;
  EventLoop loop(clock);
  BackgroundJob job("job");
  job.Start(loop, [] {});
  job.RequestCancel();
  EXPECT_TRUE(job.Finished());
}

TEST(BackgroundJob, DeferredWorkIsFinishedOnlyWhenItSaysSo) {
  SimulatedClock clock;
  EventLoop loop(clock);
  BackgroundJob job("integrity");
  std::function<void()> done;
  job.StartDeferred(loop, [&](std::function<void()> finish) { done = std::move(finish); });
  loop.ProcessPendingEvents();
  ASSERT_TRUE(done);
  EXPECT_FALSE(job.Finished());  // the work returned, its result is not published yet
  loop.Post(done);
  loop.ProcessPendingEvents();
  EXPECT_TRUE(job.Finished());
}

TEST(BackgroundJob, WorkThatRaisesEndsTheJobAndReachesTheErrorHandler) {
  SimulatedClock clock;
  EventLoop loop(clock);
  std::string shown;
  loop.SetErrorHandler([&](const std::string& message) { shown = message; });
  BackgroundJob plain("plain"), deferred("deferred");
  plain.Start(loop, [] { throw std::runtime_error("boom"); });
  deferred.StartDeferred(loop, [](std::function<void()>) { throw std::runtime_error("bang"); });
  loop.ProcessPendingEvents();
  EXPECT_TRUE(plain.Finished());
  EXPECT_TRUE(deferred.Finished());
  EXPECT_EQ(shown, "bang");
}

}  // namespace
}  // namespace app
