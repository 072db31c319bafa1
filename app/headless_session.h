// The tool running without a window: the main window's logic on a simulated
// clock, with a recording user interface, on an observed platform.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/RemedorMain.h"
#include "app/event_loop.h"
#include "app/headless_ui.h"
#include "app/observed_platform.h"
#include "platform/platform.h"

namespace app {

class HeadlessSession {
 public:
  // Creates the main window's logic; throws what its construction throws
  // (the archive library missing, for one).
  HeadlessSession(platform::Platform& os, std::vector<std::string> arguments);
  ~HeadlessSession();

  // The first activation of the window: the start-up sequence, then the work
  // posted by other threads is let in.
  void RunStartup();
  // A click as the window delivers it; false when no control of that name
  // takes clicks. Disabled or hidden controls ignore it.
  bool Click(std::string_view control);
  bool DoubleClick(std::string_view control);
  void KeyDown(int virtual_key, bool shift, bool ctrl, bool alt);
  // Lets ms pass on the simulated clock, running events and timers.
  void Wait(std::int64_t ms);
  // The platform's close key.
  void Close();
  // The end, whatever ended it: the window is destroyed. Records how the
  // system stopped ("closed": the window was closed; "stopped": a gate or the
  // new-version check ended it).
  void Finish();

  bool Running() const { return !loop.StopRequested(); }

  ObservedPlatform os;
  SimulatedClock clock;
  EventLoop loop{clock};
  HeadlessUi ui;
  std::vector<OutsideEvent> events;
  std::function<void(const OutsideEvent&)> on_event;  // the driver prints them
  std::unique_ptr<TForm1> form;

 private:
  void Record(OutsideEvent event);
  void Settle();
  bool finished_ = false;
};

}  // namespace app
