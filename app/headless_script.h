// The headless driver's command line and its action script.
//
//   remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]
//
// The action script of a headless run: one action a line, blank lines and
// lines starting with "#" ignored.
//
//   analyse simple | analyse full     click "Analyse simple" / "Analyse complète"
//   click NAME                        a control, or "language" for the toggle
//   dblclick ListBox2
//   key MODIFIERS+KEY                 e.g. "key alt+f1", "key ctrl+alt+f1", "key f1"
//   answer ok|yes|no|cancel           the answer to the next box that asks; those
//                                     before any other action answer the start-up's
//                                     boxes ("wait 0", "answer yes", "analyse full":
//                                     Yes to the offer to restore missing files)
//   answer file PATH                  the file chosen in the next file-open dialog
//   wait MS                           let MS milliseconds pass on the simulated clock
//   close                             the platform's close key
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/headless_ui.h"
#include "platform/result.h"

namespace app {

struct ScriptAction {
  enum class Kind { kClick, kDoubleClick, kKey, kAnswer, kWait, kClose };
  Kind kind = Kind::kClick;
  std::string control;  // kClick, kDoubleClick
  int virtual_key = 0;  // kKey
  bool shift = false, ctrl = false, alt = false;
  ScriptedAnswer answer;  // kAnswer
  std::int64_t ms = 0;    // kWait
  int line = 0;           // where it stands in the script
};

// The driver's usage, printed by --help and after a command line it refuses.
inline constexpr char kDriverUsage[] =
    "usage: remedor [--machine DIR] [--script FILE] [--out DIR] [--] [ARG...]\n"
    "  --machine DIR   the simulated Windows machine (a Wine prefix folder)\n"
    "  --script FILE   the actions to play after the start-up (default: a full analysis)\n"
    "  --out DIR       where screen.txt, forum.txt, clipboard.txt, dialogs.jsonl,\n"
    "                  controls.jsonl and events.jsonl are written\n"
    "  --help          this text\n"
    "  ARG...          the tool's own command line (/DIR:folder /ini /? /H /VER)\n";

struct DriverOptions {
  std::string machine;                 // empty: the backend's default (see OpenPlatform)
  std::string script;                  // empty: start-up, a full analysis when possible, close
  std::string out;                     // empty: no output files
  std::vector<std::string> arguments;  // the tool's own command line
  bool help = false;                   // --help: the usage, nothing else
};

// nullopt (with the reason in `error`) for a command line the driver does not take.
std::optional<DriverOptions> ParseDriverArguments(const std::vector<std::string>& argv,
                                                  std::string& error);

// The actions of a script; an error names the line that is not understood.
platform::Result<std::vector<ScriptAction>> ParseScript(std::string_view text);

// A key name ("f1".."f24", "a".."z", "0".."9", "enter", "escape", "space",
// "tab") as a Windows virtual-key code; 0 when unknown.
int VirtualKeyOf(std::string_view name);

}  // namespace app
