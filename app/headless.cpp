#include "app/headless.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/headless_script.h"
#include "app/headless_session.h"
#include "app/terminal_text.h"
#include "platform/output_file.h"
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

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The output files, made before the run: a folder that cannot be written
// is refused before the tool has touched anything. Each is made anew, never
// through a link or anything else standing at its name, and receives its
// bytes as the run produced them.
class OutputFiles {
 public:
  bool Open(const std::string& dir, std::ostream& err) {
    std::error_code ec;
    std::filesystem::create_directories(PathOf(dir), ec);
    if (ec || !std::filesystem::is_directory(PathOf(dir), ec)) {
      err << "remedor: the output folder " << dir << " cannot be made"
          << (ec ? ": " + ec.message() : std::string(": a file stands there")) << "\n";
      return false;
    }
    for (const char* name : kNames) {
      auto file = platform::CreateOutputFile(PathOf(dir) / name);
      if (!file) {
        err << "remedor: the output folder " << dir << " cannot be written ("
            << file.error().Message() << ")\n";
        return false;
      }
      files_[name] = std::move(*file);
    }
    dir_ = dir;
    return true;
  }

  bool Write(HeadlessSession& session, const std::string& controls, std::ostream& err) {
    const TForm1& form = *session.form;
    std::string dialogs, events;
    for (const RecordedDialog& d : session.ui.dialogs()) {
      dialogs += Dump(Json{{"kind", d.kind}, {"text", d.text}, {"answer", d.answer}}) + "\n";
    }
    for (const OutsideEvent& e : session.events) {
      events += Dump(Json{{"event", e.event}, {"detail", e.detail}}) + "\n";
    }
    return Put("screen.txt", Lines(form.report.ScreenLines), err) &&
           Put("forum.txt", Lines(form.report.ForumLines), err) &&
           Put("clipboard.txt", session.ui.clipboard(), err) &&
           Put("dialogs.jsonl", dialogs, err) && Put("controls.jsonl", controls, err) &&
           Put("events.jsonl", events, err);
  }

 private:
  static constexpr const char* kNames[] = {"screen.txt",    "forum.txt",      "clipboard.txt",
                                           "dialogs.jsonl", "controls.jsonl", "events.jsonl"};

  bool Put(const std::string& name, const std::string& bytes, std::ostream& err) {
    const platform::Status written = files_[name]->Write(bytes);
    files_[name].reset();
    if (!written)
      err << "remedor: cannot write " << name << " in " << dir_ << ": " << written.error().Message()
          << "\n";
    return static_cast<bool>(written);
  }

  std::string dir_;
  std::map<std::string, std::unique_ptr<platform::OutputFile>> files_;
};

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

int RunDriver(const DriverOptions& options, std::ostream& out, std::ostream& err,
              DriverTerminal terminal) {
  // Text from the machine goes to a terminal with its controls escaped.
  const auto to_out = [&](const std::string& text) {
    out << (terminal.out ? EscapeControls(text) : text);
  };
  const auto to_err = [&](const std::string& text) {
    err << (terminal.err ? EscapeControls(text) : text);
  };

  // Every input is checked before the tool starts: a refusal touches nothing.
  std::vector<ScriptAction> actions;
  if (!options.script.empty()) {
    std::error_code ec;
    if (std::filesystem::is_directory(PathOf(options.script), ec)) {
      to_err("remedor: the script " + options.script + " is a folder, not a file\n");
      return 2;
    }
    std::ifstream file(PathOf(options.script), std::ios::binary);
    std::stringstream text;
    if (file) text << file.rdbuf();
    if (!file || file.bad()) {
      to_err("remedor: cannot read the script " + options.script + "\n");
      return 2;
    }
    auto parsed = ParseScript(text.str());
    if (!parsed) {
      to_err("remedor: " + options.script + " " + parsed.error().detail + ": " +
             parsed.error().subject + "\n");
      return 2;
    }
    actions = std::move(*parsed);
  }

  // An empty machine is the backend's own: the real Windows, or the default prefix.
  auto platform = platform::OpenPlatform({options.machine});
  if (!platform) {
    to_err("remedor: cannot open the machine: " + platform.error().Message() + "\n");
    return 2;
  }

  OutputFiles outputs;
  if (!options.out.empty() && !outputs.Open(options.out, err)) return 2;

  const bool progress = isatty(STDERR_FILENO) != 0;
  std::unique_ptr<HeadlessSession> session;
  try {
    session = std::make_unique<HeadlessSession>(**platform, options.arguments);
  } catch (const std::exception& error) {
    // The window cannot be created: the tool cannot start at all.
    to_err(std::string("remedor: the tool cannot start: ") + error.what() + "\n");
    return 3;
  }
  session->ui.on_dialog = [&to_out](const RecordedDialog& d) {
    // A box shows its CR and LF as line breaks.
    std::string text;
    for (std::size_t i = 0; i < d.text.size(); ++i) {
      if (d.text[i] == '\r' && i + 1 < d.text.size() && d.text[i + 1] == '\n') continue;
      text += d.text[i] == '\r' ? '\n' : d.text[i];
    }
    to_out("[" + d.kind + "] " + text + "\n  -> " + d.answer + "\n");
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

  for (const std::string& line : session->form->report.ScreenLines) to_out(line + "\n");
  out.flush();
  if (!options.out.empty() && !outputs.Write(*session, controls, err)) return 2;
  return 0;
}

}  // namespace app
