// A background job of the start-up: its worker hands the whole work to the
// user-interface thread at once and ends when that work returns, so the work
// runs whenever the UI thread processes pending events, possibly nested inside
// another job's work. Each job has a cancel request, examined by its work
// before every line it handles, and a finished state.
#pragma once

#include <functional>
#include <string>

#include "app/event_loop.h"

namespace app {

class BackgroundJob {
 public:
  explicit BackgroundJob(std::string name) : name_(std::move(name)) {}

  // Hands the work to the UI thread. The hand-over is the worker's only
  // action, so it is made from here: the work is queued in start order and no
  // second thread is involved.
  void Start(EventLoop& loop, std::function<void()> work);
  // For work that hands part of itself on and ends later than it returns: the
  // job is finished once the work calls `done` (on the UI thread), or when
  // the work raised.
  void StartDeferred(EventLoop& loop, std::function<void(std::function<void()> done)> work);

  void RequestCancel() { cancel_requested_ = true; }
  bool CancelRequested() const { return cancel_requested_; }
  // Finished when the work has returned (or never will run: cancelled).
  bool Finished() const { return work_returned_ || cancel_requested_; }
  bool Started() const { return started_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  bool started_ = false;
  bool work_returned_ = false;
  bool cancel_requested_ = false;
};

}  // namespace app
