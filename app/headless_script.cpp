#include "app/headless_script.h"

#include <charconv>

#include "platform/text.h"

namespace app {

namespace {

// The words of a line, split at blanks and tabs.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool ParseKey(std::string_view keys, ScriptAction& action) {
  const std::string lower = platform::LowerCase(keys);
  std::string_view rest = lower;
  for (;;) {
    const auto plus = rest.find('+');
    if (plus == std::string_view::npos) break;
    const std::string_view modifier = rest.substr(0, plus);
    if (modifier == "alt") {
      action.alt = true;
    } else if (modifier == "ctrl" || modifier == "control") {
      action.ctrl = true;
    } else if (modifier == "shift") {
      action.shift = true;
    } else {
      return false;
    }
    rest.remove_prefix(plus + 1);
  }
  action.virtual_key = VirtualKeyOf(rest);
  return action.virtual_key != 0;
}

// The controls a script may click.
bool Clickable(std::string_view name) {
  static constexpr std::string_view kNames[] = {
      "SpeedButton1", "SpeedButton4", "SpeedButton2", "SpeedButton3", "CBBoutonGenerer",
      "ButtonHelp",   "bButton4",     "Panel3",       "Memo2",        "BoutonCorriger",
      "bButton6",     "bButton7",     "bButton8",     "bButton9",     "bButton10",
      "Alone",        "Publique",     "Championnat",  "language"};
  for (std::string_view known : kNames) {
    if (known == name) return true;
  }
  return false;
}

}  // namespace

int VirtualKeyOf(std::string_view name) {
  const std::string key = platform::LowerCase(name);
  if (key.size() >= 2 && key[0] == 'f') {
    int n = 0;
    const auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), n);
    if (error == std::errc() && end == key.data() + key.size() && n >= 1 && n <= 24) {
      return 0x70 + n - 1;  // VK_F1 ...
    }
    return 0;
  }
  if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') return key[0] - 'a' + 'A';
  if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return key[0];
  if (key == "enter" || key == "return") return 0x0D;
  if (key == "escape" || key == "esc") return 0x1B;
  if (key == "space") return 0x20;
  if (key == "tab") return 0x09;
  return 0;
}

std::optional<DriverOptions> ParseDriverArguments(const std::vector<std::string>& argv,
                                                  std::string& error) {
  DriverOptions options;
  std::size_t i = 0;
  for (; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    std::string* target = arg == "--machine"  ? &options.machine
                          : arg == "--script" ? &options.script
                          : arg == "--out"    ? &options.out
                                              : nullptr;
    if (target != nullptr) {
      if (i + 1 >= argv.size() || argv[i + 1].empty()) {
        error = arg + " needs a value";
        return std::nullopt;
      }
      *target = argv[++i];
    } else if (arg == "--help") {
      options.help = true;
      return options;
    } else if (arg == "--") {
      ++i;
      break;
    } else if (arg.rfind("--", 0) == 0) {
      error = "unknown option " + arg;
      return std::nullopt;
    } else {
      break;  // the tool's own arguments start here
    }
  }
  options.arguments.assign(argv.begin() + static_cast<std::ptrdiff_t>(i), argv.end());
  return options;
}

platform::Result<std::vector<ScriptAction>> ParseScript(std::string_view text) {
  std::vector<ScriptAction> actions;
  const std::vector<std::string> lines = platform::SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = Trimmed(lines[i]);
    if (line.empty() || line.front() == '#') continue;
    const std::vector<std::string> words = Words(line);
    const std::string verb = platform::LowerCase(words[0]);
    ScriptAction action;
    action.line = static_cast<int>(i + 1);
    bool understood = false;
    if (verb == "analyse" && words.size() == 2) {
      const std::string which = platform::LowerCase(words[1]);
      action.control = which == "simple" ? "SpeedButton1" : which == "full" ? "SpeedButton4" : "";
      understood = !action.control.empty();
    } else if (verb == "click" && words.size() == 2) {
      action.control = words[1];
      understood = Clickable(action.control);
    } else if (verb == "dblclick" && words.size() == 2) {
      action.kind = ScriptAction::Kind::kDoubleClick;
      action.control = words[1];
      understood = words[1] == "ListBox2";
    } else if (verb == "key" && words.size() == 2) {
      action.kind = ScriptAction::Kind::kKey;
      understood = ParseKey(words[1], action);
    } else if (verb == "answer" && words.size() >= 2) {
      action.kind = ScriptAction::Kind::kAnswer;
      if (platform::LowerCase(words[1]) == "file") {
        // The rest of the line, blanks included, is the path.
        std::string_view path = Trimmed(line.substr(line.find(words[1]) + words[1].size()));
        action.answer = {ScriptedAnswer::Kind::kFile, std::string(path)};
        understood = !path.empty();
      } else if (auto kind = ParseAnswerWord(words[1]); kind && words.size() == 2) {
        action.answer.kind = *kind;
        understood = true;
      }
    } else if (verb == "wait" && words.size() == 2) {
      action.kind = ScriptAction::Kind::kWait;
      const std::string& ms = words[1];
      const auto [end, error] = std::from_chars(ms.data(), ms.data() + ms.size(), action.ms);
      understood = error == std::errc() && end == ms.data() + ms.size() && action.ms >= 0;
    } else if (verb == "close" && words.size() == 1) {
      action.kind = ScriptAction::Kind::kClose;
      understood = true;
    }
    if (!understood) {
      return platform::MakeError(platform::Errc::kInvalidData, "script", std::string(line), 0,
                                 "line " + std::to_string(i + 1) + ": not understood");
    }
    actions.push_back(std::move(action));
  }
  return actions;
}

}  // namespace app
