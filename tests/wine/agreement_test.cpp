// Both builds agree on one machine. A real Wine prefix holding the sample
// machine (tools/make_sample_wine_prefix.py) is copied; Remedor.exe runs
// headless under wine64 in the original, the native driver runs on the copy,
// both with the same script: a full analysis, every repair, the close. The
// native run is given, through its facts and processes files, what the Windows
// build sees of the machine (remedor-facts.exe, run under wine64 just before).
//
// Compared: every report line in both views, the boxes, the controls, the
// registry values and the files the run changed. Left out, because they move
// between the two moments and not because the builds differ: the free memory,
// the free disk space, the running processes (their count and list) and the
// date and time of the report's date line (the runs may straddle a second, a
// minute, midnight): its form, the locale's separators, is still compared. The tool sits in a
// Cyrillic-named folder: its own files are found, read and removed through wide characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "platform/codepage.h"
#include "platform/posix/regfile.h"
#include "platform/text.h"
#include "tests/wine/sample_prefix.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;
namespace fs = std::filesystem;

// The tool in a folder whose name Windows-1252 cannot spell.
constexpr char kToolFolder[] = "users/joueur/Загрузки/Remedor";  // below drive_c
constexpr char kToolExe[] = "C:\\users\\joueur\\Загрузки\\Remedor\\Remedor.exe";

constexpr char kScript[] =
    "analyse full\n"
    "key alt+f1\n"
    "click BoutonCorriger\n"
    "click bButton6\n"
    "click bButton8\n"
    "click bButton7\n"
    "click bButton9\n"
    "close\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// A report's lines with the figures that move between the two runs masked and
// the process list dropped.
std::vector<std::string> Comparable(const std::vector<std::string>& report) {
  static const std::regex free_memory("dont [0-9.,]+ Go de libres");
  static const std::regex free_disk(
      "(Espace libre sur le lecteur .*: (\\[[^\\]]*\\])*)[0-9.,]+ Go");
  static const std::regex process_count("(Nombre de processus lancés : .*?)[0-9]+");
  static const std::regex date_and_time(
      "(\\*\\*\\* Rapport généré le )[^ ]+ [0-9]{2}([^0-9]+)[0-9]{2}([^0-9]+)[0-9]{4} à "
      "[0-9]{2}([^0-9]+)[0-9]{2}([^0-9]+)[0-9]{2} \\*\\*\\*");
  std::vector<std::string> lines;
  bool in_process_list = false;
  for (std::string line : report) {
    if (line.starts_with("*** Rapport généré le")) in_process_list = false;
    if (in_process_list) continue;
    if (line.starts_with("Liste des processus en cours lors du rapport d'analyse")) {
      in_process_list = true;
      line = "(process list)";
    }
    line = std::regex_replace(line, free_memory, "dont (free) Go de libres");
    line = std::regex_replace(line, free_disk, "$1(free) Go");
    line = std::regex_replace(line, process_count, "$1(count)");
    line = std::regex_replace(line, date_and_time, "$1(weekday) dd$2mm$3yyyy à hh$4mm$5ss ***");
    lines.push_back(line);
  }
  return lines;
}

// Registry values by folded key path and value name, as files hold them.
using Values = std::map<std::string, std::map<std::string, platform::posix::RegFileValue>>;

Values ReadRegistry(const fs::path& prefix) {
  Values values;
  for (const char* name : {"system.reg", "user.reg"}) {
    const auto file = platform::posix::ParseRegFile(ReadFile(prefix / name), name, 0);
    EXPECT_TRUE(file.ok()) << (prefix / name);
    if (!file.ok()) continue;
    for (const auto& key : file->keys) {
      auto& slot =
          values[std::string(name) + ":" + platform::UpperCase(platform::Utf16ToUtf8(key.path))];
      for (const auto& value : key.values) {
        slot[platform::UpperCase(platform::Utf16ToUtf8(value.name))] = value;
      }
    }
  }
  return values;
}

// Each changed place ("file:KEY" or "file:KEY|NAME") with what it holds after
// the run (absent: removed).
std::map<std::string, std::optional<platform::posix::RegFileValue>> Changes(const Values& before,
                                                                            const Values& after) {
  std::map<std::string, std::optional<platform::posix::RegFileValue>> changes;
  for (const auto& [key, values] : after) {
    const auto old = before.find(key);
    if (old == before.end()) changes[key] = std::nullopt;  // a new key
    for (const auto& [name, value] : values) {
      const bool same =
          old != before.end() && old->second.contains(name) && old->second.at(name) == value;
      if (!same) changes[key + "|" + name] = value;
    }
  }
  for (const auto& [key, values] : before) {
    const auto now = after.find(key);
    if (now == after.end()) changes[key + " (removed)"] = std::nullopt;
    for (const auto& [name, value] : values) {
      if (now != after.end() && !now->second.contains(name))
        changes[key + "|" + name] = std::nullopt;
    }
  }
  return changes;
}

// The files and folders below `folder`, each with its content.
std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const std::string name = fs::relative(it->path(), folder).string();
    tree[name] = it->is_directory() ? "(folder)" : ReadFile(it->path());
  }
  return tree;
}

std::string Describe(const std::optional<platform::posix::RegFileValue>& value) {
  if (!value) return "(none)";
  std::ostringstream text;
  text << "type " << value->type << ", " << value->data.size() << " bytes";
  return text.str();
}

class BuildsAgree : public SamplePrefixTest {
 protected:
  BuildsAgree() : SamplePrefixTest("agree", kToolFolder) {}

  void SetUp() override {
    SamplePrefixTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(fs::is_regular_file(win_build_ / "remedor-facts.exe"));
    native_ = work_ / "native";
    pristine_ = work_ / "pristine";
    for (const fs::path& copy : {native_, pristine_}) {
      fs::copy(prefix_, copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    WriteFile(work_ / "script.txt", kScript);
  }

  // What the Windows build sees, written as the native machine's facts; the
  // new-version check fails at once on both sides.
  void GiveTheNativeRunTheFacts() {
    const fs::path facts = native_ / "remedor-machine.ini";
    Wine(std::string(kWine) + " " + ShellQuote((win_build_ / "remedor-facts.exe").string()) + " " +
         ShellQuote(HostPathForWine(facts)) + " " +
         ShellQuote(HostPathForWine(native_ / "remedor-processes.txt")) + " " +
         ShellQuote(kToolExe) + " W32Time");
    const std::string written = ReadFile(facts);
    ASSERT_NE(written.find("[Locale]"), std::string::npos) << "remedor-facts wrote nothing";
    WriteFile(facts, written + "[Network]\r\nVersionURL=http://127.0.0.1:9/curr_ver.txt\r\n");
  }

  void RunBoth() {
    wine_stdout_ = Wine(std::string(kWine) + " Remedor.exe --script " +
                            ShellQuote(HostPathForWine(work_ / "script.txt")) + " --out " +
                            ShellQuote(HostPathForWine(work_ / "wine-out")),
                        prefix_ / "drive_c" / kToolFolder);
    // The registry reaches its files when the prefix's server ends.
    Wine(kWineServer + std::string(" -w"));
    ASSERT_TRUE(fs::is_regular_file(work_ / "wine-out" / "screen.txt"))
        << "Remedor.exe wrote no report";

    app::DriverOptions options;
    options.machine = native_.string();
    options.script = (work_ / "script.txt").string();
    options.out = (work_ / "native-out").string();
    std::ostringstream out, err;
    ASSERT_EQ(app::RunDriver(options, out, err), 0) << err.str();
  }

  std::vector<std::string> Output(const char* side, const char* file) {
    return Lines(ReadFile(work_ / side / file));
  }

  fs::path native_, pristine_;
  std::string wine_stdout_;
};

TEST_F(BuildsAgree, OnTheReportTheBoxesAndTheChangesOfEveryRepair) {
  GiveTheNativeRunTheFacts();
  RunBoth();

  for (const char* view : {"screen.txt", "forum.txt"}) {
    SCOPED_TRACE(view);
    const auto wine = Comparable(Output("wine-out", view));
    EXPECT_GT(wine.size(), 40u);
    EXPECT_EQ(wine, Comparable(Output("native-out", view)));
  }
  // Remedor.exe prints the report on the console it was started from, as the
  // native driver does.
  std::string printed = wine_stdout_;
  std::erase(printed, '\r');
  const auto screen = Output("wine-out", "screen.txt");
  const auto printed_lines = Lines(printed);
  ASSERT_GE(printed_lines.size(), screen.size());
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), printed_lines.end() - screen.size()));

  // The new-version warning comes from its own thread: the boxes in any order.
  auto wine_boxes = Output("wine-out", "dialogs.jsonl");
  auto native_boxes = Output("native-out", "dialogs.jsonl");
  std::sort(wine_boxes.begin(), wine_boxes.end());
  std::sort(native_boxes.begin(), native_boxes.end());
  EXPECT_EQ(wine_boxes, native_boxes);
  EXPECT_EQ(Output("wine-out", "controls.jsonl"), Output("native-out", "controls.jsonl"));
  EXPECT_EQ(Output("wine-out", "clipboard.txt").size(),
            Output("native-out", "clipboard.txt").size());

  // Every registry change of one run is made the same by the other. Beside the
  // tool, Wine writes its device set-up, and the download's library its proxy
  // settings on first use.
  const Values before = ReadRegistry(pristine_);
  const auto native_changes = Changes(before, ReadRegistry(native_));
  const auto wine_changes = Changes(before, ReadRegistry(prefix_));
  EXPECT_FALSE(native_changes.empty()) << "the repairs changed nothing";
  for (const auto& [place, value] : native_changes) {
    const auto wine = wine_changes.find(place);
    EXPECT_TRUE(wine != wine_changes.end() && wine->second == value)
        << place << ": native " << Describe(value) << ", Wine "
        << (wine == wine_changes.end() ? "unchanged" : Describe(wine->second));
  }
  for (const auto& [place, value] : wine_changes) {
    constexpr const char* kWinesOwn[] = {
        "system.reg:SYSTEM\\CURRENTCONTROLSET\\CONTROL\\CLASS\\",
        "system.reg:SYSTEM\\CURRENTCONTROLSET\\ENUM\\",
        "user.reg:SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\INTERNET SETTINGS",
    };
    if (std::any_of(std::begin(kWinesOwn), std::end(kWinesOwn),
                    [&](const char* own) { return place.starts_with(own); })) {
      continue;
    }
    EXPECT_TRUE(native_changes.contains(place)) << place << ": changed by Remedor.exe only";
  }

  // The files of the game and of the tool's folder end the same.
  for (const char* folder : {"Games", kToolFolder}) {
    SCOPED_TRACE(folder);
    const auto wine = Tree(prefix_ / "drive_c" / folder);
    const auto native = Tree(native_ / "drive_c" / folder);
    EXPECT_FALSE(wine.empty());
    for (const auto& [name, content] : native) {
      EXPECT_TRUE(wine.contains(name) && wine.at(name) == content) << name << " differs";
    }
    for (const auto& [name, content] : wine) EXPECT_TRUE(native.contains(name)) << name;
  }
}

}  // namespace
