#include "app/headless_session.h"

#include "components/mGetNewVer.h"

namespace app {

HeadlessSession::HeadlessSession(platform::Platform& platform_services,
                                 std::vector<std::string> arguments)
    : os(platform_services) {
  // Addresses and folders are opened from the user-interface thread.
  os.on_event = [this](OutsideEvent event) { Record(std::move(event)); };
  ui.on_clipboard = [this](const std::string& text) { Record({"clipboard", text}); };
  // Started from the file manager: the program's folder is the current one.
  const std::string exe = os.machine().SelfExecutable();
  if (const auto slash = exe.find_last_of('\\'); slash != std::string::npos) {
    (void)os.files().SetCurrentDirectory(exe.substr(0, slash + 1));
  }
  form = std::make_unique<TForm1>(os, ui, loop, std::move(arguments));
  // The new-version check's outcome comes in at the first processing of
  // events after its start, before any gate can stop the run: a run records
  // it at the same place whatever the host's speed. Its download bounds the
  // wait.
  loop.SetAwaitedWork([this] { return form->GetNewVer1->CheckUnderWay(); });
  // Closing any box re-activates the window; the start-up must not run again.
  ui.after_modal = [this] { form->FormActivate(); };
}

HeadlessSession::~HeadlessSession() { Finish(); }

void HeadlessSession::Record(OutsideEvent event) {
  events.push_back(std::move(event));
  if (on_event) on_event(events.back());
}

void HeadlessSession::Settle() {
  while (Running() && loop.HasPendingWork()) loop.SleepAndProcess(10);
}

void HeadlessSession::RunStartup() {
  form->FormActivate();
  Settle();
}

bool HeadlessSession::Click(std::string_view control) {
  const bool known = form->Click(control);
  Settle();
  return known;
}

bool HeadlessSession::DoubleClick(std::string_view control) {
  if (control != "ListBox2") return false;
  if (form->window.ListBox2.enabled && form->window.Shown(form->window.ListBox2)) {
    loop.RunHandler([this] { form->ListBox2DblClick(); });
  }
  Settle();
  return true;
}

void HeadlessSession::KeyDown(int virtual_key, bool shift, bool ctrl, bool alt) {
  loop.RunHandler([&] { form->FormKeyDown(virtual_key, shift, ctrl, alt); });
  Settle();
}

void HeadlessSession::Wait(std::int64_t ms) {
  if (Running()) loop.SleepAndProcess(ms);
  Settle();
}

void HeadlessSession::Close() {
  if (Running()) loop.RunHandler([this] { form->FormClose(); });
}

void HeadlessSession::Finish() {
  if (finished_ || !form) return;
  finished_ = true;
  const bool closed = form->window_closed;
  form->FormDestroy();
  Record({"stop", closed ? "closed" : "stopped"});
}

}  // namespace app
