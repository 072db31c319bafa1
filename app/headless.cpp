#include "app/headless.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/headless_script.h"
#include "app/headless_session.h"
#include "platform/platform.h"

namespace app {

namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& json) {
  // Text from the machine may hold bytes that are not UTF-8: replaced, never fatal.
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Paths arrive as UTF-8 on both platforms; std::filesystem converts them to
// the wide characters Windows names files with.
std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool WriteFile(const std::string& dir, const char* name, const std::string& bytes,
               std::ostream& err) {
  std::ofstream file(PathOf(dir) / name, std::ios::binary | std::ios::trunc);
  file << bytes;
  if (!file) err << "remedor: cannot write " << name << " in " << dir << "\n";
  return static_cast<bool>(file);
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

bool WriteOutputs(const std::string& dir, HeadlessSession& session, const std::string& controls,
                  std::ostream& err) {
  std::error_code ec;
  std::filesystem::create_directories(PathOf(dir), ec);
  if (ec) {
    err << "remedor: cannot create " << dir << ": " << ec.message() << "\n";
    return false;
  }
  const TForm1& form = *session.form;
  std::string dialogs, events;
  for (const RecordedDialog& d : session.ui.dialogs()) {
    dialogs += Dump(Json{{"kind", d.kind}, {"text", d.text}, {"answer", d.answer}}) + "\n";
  }
  for (const OutsideEvent& e : session.events) {
    events += Dump(Json{{"event", e.event}, {"detail", e.detail}}) + "\n";
  }
  return WriteFile(dir, "screen.txt", Lines(form.report.ScreenLines), err) &&
         WriteFile(dir, "forum.txt", Lines(form.report.ForumLines), err) &&
         WriteFile(dir, "clipboard.txt", session.ui.clipboard(), err) &&
         WriteFile(dir, "dialogs.jsonl", dialogs, err) &&
         WriteFile(dir, "controls.jsonl", controls, err) &&
         WriteFile(dir, "events.jsonl", events, err);
}

std::string ControlsJsonl(TForm1& form) {
  std::string text;
  for (const Control* c : form.window.Controls()) {
    text += Dump(Json{{"name", c->name},
                      {"caption", c->caption},
                      {"enabled", c->enabled},
                      {"visible", c->visible}}) +
            "\n";
  }
  return text;
}

void RunAction(HeadlessSession& session, const ScriptAction& action) {
  switch (action.kind) {
    case ScriptAction::Kind::kClick:
      session.Click(action.control);
      break;
    case ScriptAction::Kind::kDoubleClick:
      session.DoubleClick(action.control);
      break;
    case ScriptAction::Kind::kKey:
      session.KeyDown(action.virtual_key, action.shift, action.ctrl, action.alt);
      break;
    case ScriptAction::Kind::kAnswer:
      session.ui.QueueAnswer(action.answer);
      break;
    case ScriptAction::Kind::kWait:
      session.Wait(action.ms);
      break;
    case ScriptAction::Kind::kClose:
      session.Close();
      break;
  }
}

}  // namespace

int RunDriver(const DriverOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<ScriptAction> actions;
  if (!options.script.empty()) {
    std::ifstream file(PathOf(options.script), std::ios::binary);
    if (!file) {
      err << "remedor: cannot read the script " << options.script << "\n";
      return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    auto parsed = ParseScript(text.str());
    if (!parsed) {
      err << "remedor: " << options.script << " " << parsed.error().detail << ": "
          << parsed.error().subject << "\n";
      return 2;
    }
    actions = std::move(*parsed);
  }

  // An empty machine is the backend's own: the real Windows, or the default prefix.
  auto platform = platform::OpenPlatform({options.machine});
  if (!platform) {
    err << "remedor: cannot open the machine: " << platform.error().Message() << "\n";
    return 2;
  }

  const bool progress = isatty(STDERR_FILENO) != 0;
  std::unique_ptr<HeadlessSession> session;
  try {
    session = std::make_unique<HeadlessSession>(**platform, options.arguments);
  } catch (const std::exception& error) {
    // The window cannot be created: the tool cannot start at all.
    err << "remedor: the tool cannot start: " << error.what() << "\n";
    return 3;
  }
  session->ui.on_dialog = [&out](const RecordedDialog& d) {
    // A box shows its CR and LF as line breaks.
    std::string text;
    for (std::size_t i = 0; i < d.text.size(); ++i) {
      if (d.text[i] == '\r' && i + 1 < d.text.size() && d.text[i + 1] == '\n') continue;
      text += d.text[i] == '\r' ? '\n' : d.text[i];
    }
    out << "[" << d.kind << "] " << text << "\n  -> " << d.answer << "\n";
  };

  // Leading answers are there for the boxes of the start-up.
  std::size_t next = 0;
  while (next < actions.size() && actions[next].kind == ScriptAction::Kind::kAnswer) {
    RunAction(*session, actions[next++]);
  }
  if (progress) err << "remedor: start-up\n";
  session->RunStartup();
  if (options.script.empty()) {
    if (session->Running() && session->form->CanClick("SpeedButton4")) {
      if (progress) err << "remedor: full analysis\n";
      session->Click("SpeedButton4");
    }
  } else {
    for (; next < actions.size() && session->Running(); ++next) RunAction(*session, actions[next]);
  }
  const std::string controls = ControlsJsonl(*session->form);
  session->Close();  // the window closes at the end as by the close key
  session->Finish();

  for (const std::string& line : session->form->report.ScreenLines) out << line << "\n";
  out.flush();
  if (!options.out.empty() && !WriteOutputs(options.out, *session, controls, err)) return 2;
  return 0;
}

}  // namespace app
