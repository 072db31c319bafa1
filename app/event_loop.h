// The user-interface thread's event loop: work posted from any thread, run
// when the UI thread processes pending events (possibly nested inside a
// handler that does so), timers on the loop's clock, and the stop request
// that ends the program after the current handler returns.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace app {

// Milliseconds on the loop's clock. The headless front end runs a simulated
// clock that only moves when the loop sleeps; the window uses the real one.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t NowMs() = 0;
  // Lets ms pass; returns early when `wake` says so (work was posted).
  virtual void Sleep(std::int64_t ms, const std::function<bool()>& wake) = 0;
};

class EventLoop {
 public:
  using Task = std::function<void()>;
  // Called with the message of an error that escaped a task: the framework's
  // top-level handler (an error box).
  using ErrorHandler = std::function<void(const std::string& message)>;

  explicit EventLoop(Clock& clock);

  // Any thread.
  void Post(Task task);
  // Waits while awaited work is under way, runs, in order, what is queued and
  // what that work queues in turn, then fires due timers. An error escaping a
  // task goes to the error handler. Does nothing once a stop was requested.
  void ProcessPendingEvents();
  // Lets ms pass (waking as soon as work is posted), then processes events.
  void SleepAndProcess(std::int64_t ms);
  // Blocks until work is posted or ms pass, without running anything.
  void Sleep(std::int64_t ms);

  // Timers: fired by ProcessPendingEvents when due.
  int AddTimer(std::int64_t interval_ms, bool repeating, Task on_tick);
  void SetTimerEnabled(int timer, bool enabled);
  bool TimerEnabled(int timer) const;

  void RequestStop() { stop_requested_ = true; }
  bool StopRequested() const { return stop_requested_; }

  void SetErrorHandler(ErrorHandler handler) { on_error_ = std::move(handler); }
  // Work another thread will hand over in a bounded time, waited for at every
  // processing of pending events while `under_way` says so (it must turn
  // false only once the work is posted). The headless front end's: on its
  // simulated clock that work takes no time, so it runs at the first chance
  // it has, whatever the host's speed, and a run is repeatable.
  void SetAwaitedWork(std::function<bool()> under_way) { awaited_work_ = std::move(under_way); }
  // The window's own message queue, emptied first by every ProcessPendingEvents
  // so that long steps keep the window painted and clickable.
  void SetPlatformPump(Task pump) { platform_pump_ = std::move(pump); }
  // Runs a task as a handler: an escaping error goes to the error handler.
  void RunHandler(const Task& task);

  Clock& clock() { return clock_; }
  bool HasPendingWork();

 private:
  struct Timer {
    std::int64_t interval_ms = 0;
    bool repeating = false;
    bool enabled = false;
    std::int64_t due_ms = 0;
    Task on_tick;
  };
  void FireDueTimers();

  Clock& clock_;
  std::mutex mutex_;
  std::deque<Task> queue_;
  std::vector<Timer> timers_;
  bool stop_requested_ = false;
  ErrorHandler on_error_;
  Task platform_pump_;
  std::function<bool()> awaited_work_;
};

// The real clock (steady), for the window.
class SteadyClock : public Clock {
 public:
  std::int64_t NowMs() override;
  void Sleep(std::int64_t ms, const std::function<bool()>& wake) override;
};

// A simulated clock: Sleep advances it at once (after a short real wait for
// work posted by other threads), so scripted runs are fast and repeatable.
class SimulatedClock : public Clock {
 public:
  std::int64_t NowMs() override { return now_ms_; }
  void Sleep(std::int64_t ms, const std::function<bool()>& wake) override;
  void Advance(std::int64_t ms) { now_ms_ += ms; }

 private:
  std::int64_t now_ms_ = 0;
};

}  // namespace app
