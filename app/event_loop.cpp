#include "app/event_loop.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace app {

EventLoop::EventLoop(Clock& clock) : clock_(clock) {}

void EventLoop::Post(Task task) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(task));
}

bool EventLoop::HasPendingWork() {
  std::lock_guard lock(mutex_);
  return !queue_.empty();
}

void EventLoop::RunHandler(const Task& task) {
  try {
    task();
  } catch (const std::exception& error) {
    if (on_error_) on_error_(error.what());
  }
}

void EventLoop::ProcessPendingEvents() {
  if (platform_pump_ && !stop_requested_) platform_pump_();
  while (!stop_requested_ && awaited_work_ && awaited_work_()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  while (!stop_requested_) {
    Task task;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    RunHandler(task);
  }
  if (!stop_requested_) FireDueTimers();
}

void EventLoop::FireDueTimers() {
  const std::int64_t now = clock_.NowMs();
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    // A repeating timer fires once for every interval that has passed, so a
    // long sleep on the simulated clock sees every tick. A tick may add
    // timers: index, never hold a reference across the call.
    while (timers_[i].enabled && timers_[i].due_ms <= now) {
      if (timers_[i].repeating) {
        timers_[i].due_ms += timers_[i].interval_ms;
      } else {
        timers_[i].enabled = false;
      }
      Task tick = timers_[i].on_tick;
      RunHandler(tick);
      if (stop_requested_) return;
    }
  }
}

void EventLoop::Sleep(std::int64_t ms) {
  clock_.Sleep(ms, [this] { return HasPendingWork(); });
}

void EventLoop::SleepAndProcess(std::int64_t ms) {
  Sleep(ms);
  ProcessPendingEvents();
}

int EventLoop::AddTimer(std::int64_t interval_ms, bool repeating, Task on_tick) {
  timers_.push_back(
      Timer{std::max<std::int64_t>(interval_ms, 1), repeating, false, 0, std::move(on_tick)});
  return static_cast<int>(timers_.size()) - 1;
}

void EventLoop::SetTimerEnabled(int timer, bool enabled) {
  Timer& t = timers_.at(static_cast<std::size_t>(timer));
  if (enabled && !t.enabled) t.due_ms = clock_.NowMs() + t.interval_ms;
  t.enabled = enabled;
}

bool EventLoop::TimerEnabled(int timer) const {
  return timers_.at(static_cast<std::size_t>(timer)).enabled;
}

std::int64_t SteadyClock::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SteadyClock::Sleep(std::int64_t ms, const std::function<bool()>& wake) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < until && !wake()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void SimulatedClock::Sleep(std::int64_t ms, const std::function<bool()>& wake) {
  // Give other threads a moment to hand over work, then let the time pass.
  const auto until =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::min<std::int64_t>(ms, 10));
  while (std::chrono::steady_clock::now() < until && !wake()) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  now_ms_ += ms;
}

}  // namespace app
