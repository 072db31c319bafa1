// Test fixture: a small simulated Windows machine (a Wine-layout prefix in a
// temporary folder) described by the test, and the tool running on it
// headless, with a recording user interface and a simulated clock: from its
// start-up, or as the start-up leaves it for the analysis and the repairs.
//
//   test::TestMachine machine;
//   machine.AddTextFile("C:\\Games\\RBR\\RichardBurnsRally.ini", "[Settings]\nXRes=1024\n");
//   machine.SetRegistryString(test::Hive::kLocalMachine,
//       "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath", "", "C:\\Games\\RBR");
//   machine.SetFact("Self", "Exe", "C:\\Tool\\Remedor.exe");
//   machine.AddProcess("explorer.exe", 32);
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/RemedorMain.h"
#include "app/event_loop.h"
#include "app/headless_ui.h"
#include "app/observed_platform.h"
#include "components/mRegistry.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"

namespace test {

// The game folder the tool is given as after the start-up (AfterStartup).
inline constexpr char kGameFolder[] = "C:\\Jeux\\RBR\\";
// The add-on's configuration file and its pack keys, as the car-pack check reads them.
inline constexpr char kConfig[] = "C:\\Jeux\\RBR\\QUORVEL\\Config_P.ini";
inline constexpr char kPacksKey[] = "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs";
inline constexpr char kStageKey[] =
    "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\PackSpeciales2015";

enum class Hive { kLocalMachine, kCurrentUser };

class TestMachine {
 public:
  // An empty prefix: drive_c with a Windows folder, empty registry files of a
  // 64-bit prefix, no processes; the tool at C:\Outil\Remedor.exe (version
  // 8.36.0.0, build folder C:\RemedorBuild\), a frozen clock, a French
  // locale, and a version address that fails at once.
  TestMachine();
  ~TestMachine();
  TestMachine(const TestMachine&) = delete;
  TestMachine& operator=(const TestMachine&) = delete;

  const std::filesystem::path& root() const { return root_; }
  // The host path of a Windows path on drive C ("C:\Games" -> <root>/drive_c/Games).
  std::filesystem::path HostPath(std::string_view windows_path) const;

  // Files, with their folders created. AddFile writes the bytes as given;
  // AddTextFile converts UTF-8 text to Windows-1252 first.
  void AddFile(std::string_view windows_path, std::string_view bytes);
  void AddTextFile(std::string_view windows_path, std::string_view utf8_text);
  void AddFolder(std::string_view windows_path);
  // The bytes of a file of the machine; empty when it does not exist.
  std::string ReadFile(std::string_view windows_path) const;
  bool Exists(std::string_view windows_path) const;

  // Registry values, as the 32-bit tool sees them: a key below
  // HKLM\SOFTWARE is stored under Software\Wow6432Node, as in a 64-bit prefix.
  // An empty name is the key's default value.
  void SetRegistryString(Hive hive, std::string_view key, std::string_view name,
                         std::string_view value);
  void SetRegistryDword(Hive hive, std::string_view key, std::string_view name,
                        std::uint32_t value);
  // Raw text in Wine's registry format, appended to system.reg or user.reg.
  void AppendRegistryText(Hive hive, std::string_view text);

  // Facts of remedor-machine.ini, written when the platform opens.
  void SetFact(std::string_view section, std::string_view key, std::string_view value);
  // A running process (remedor-processes.txt).
  void AddProcess(std::string_view exe_file, int threads = 1);
  // Writes the facts and processes files now.
  void WriteFacts() const;

 private:
  std::filesystem::path RegistryFile(Hive hive) const;
  void AppendValue(Hive hive, std::string_view key, std::string_view value_text);

  std::filesystem::path root_;
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> facts_;
  std::vector<std::pair<std::string, int>> processes_;
};

// The state the start-up leaves for the analysis and the repairs, set
// directly: the game folder kGameFolder, the add-on's pack keys of the newer
// publisher, the captions, the analysis buttons enabled. Each test then builds
// only the files and values it is about.
struct AfterStartup {};

// A file system put in front of the machine's own: a test's gate or probe.
using FilesFront =
    std::function<std::unique_ptr<platform::FileSystem>(platform::FileSystem& machine_files)>;

// The tool on a test machine: the platform opened on its prefix (facts
// written first), the main window's logic with a recording user interface
// (scripted answers, recorded dialogs and clipboard) on a simulated clock.
// The program's current folder is its own, as when started from Explorer.
class TestForm {
 public:
  explicit TestForm(TestMachine& machine, std::vector<std::string> arguments = {},
                    const FilesFront& front = {});
  TestForm(TestMachine& machine, AfterStartup);
  ~TestForm();

  TForm1& form() { return *form_; }
  app::WindowModel& window() { return form_->window; }
  app::HeadlessUi& ui() { return ui_; }
  app::EventLoop& loop() { return loop_; }
  platform::Platform& os() { return *observed_; }
  // The faults armed for this machine's platform.
  platform::posix::FaultInjector& faults() { return platform_->faults(); }

  // The first activation of the window: the start-up sequence, then the work
  // other threads hand over.
  void RunStartup() {
    form_->FormActivate();
    Settle();
  }
  // A click as the window delivers it (nothing for a disabled or hidden control).
  bool Click(std::string_view control) {
    const bool known = form_->Click(control);
    Settle();
    return known;
  }
  // A handler run as the window delivers a click: an escaping error reaches
  // the top-level handler's error box.
  void Run(void (TForm1::*handler)()) {
    loop_.RunHandler([this, handler] { (form().*handler)(); });
  }
  // "Analyse simple", or "Analyse complète" when full.
  void Analyse(bool full = false) {
    TForm1& f = form();
    loop_.RunHandler(
        [&f, full] { f.SpeedButton1Click(full ? f.window.SpeedButton4 : f.window.SpeedButton1); });
  }
  // Lets ms pass on the simulated clock, running events and timers.
  void Wait(std::int64_t ms);
  // Runs posted work and lets in what other threads still hand over.
  void Settle();

  const std::vector<std::string>& Screen() const { return form_->report.ScreenLines; }
  const std::vector<std::string>& Forum() const { return form_->report.ForumLines; }
  const std::vector<app::RecordedDialog>& Dialogs() const { return ui_.dialogs(); }
  // The texts of the boxes shown so far, of one kind ("plain", "error", ...).
  std::vector<std::string> Messages(std::string_view kind) const;
  const std::string& Clipboard() const { return ui_.clipboard(); }
  const std::vector<app::OutsideEvent>& Events() const { return events_; }
  // Queues an answer for the next box or dialog that asks.
  void Answer(app::ScriptedAnswer::Kind kind, std::string file = {}) {
    ui_.QueueAnswer({kind, std::move(file)});
  }

 private:
  std::unique_ptr<platform::posix::PosixPlatform> platform_;
  std::unique_ptr<platform::FileSystem> front_files_;
  std::unique_ptr<platform::Platform> fronted_;  // platform_ with front_files_ as its files
  std::unique_ptr<app::ObservedPlatform> observed_;
  app::SimulatedClock clock_;
  app::EventLoop loop_{clock_};
  app::HeadlessUi ui_;
  std::vector<app::OutsideEvent> events_;
  std::unique_ptr<TForm1> form_;
};

// A fresh look at the machine's registry, as the next program would see it:
// the value through a registry component, and whether the key exists.
std::string ReadBack(TestMachine& machine, TmRootKey root, const std::string& key,
                     const std::string& name);
bool KeyExists(TestMachine& machine, platform::RootKey root, std::string_view key);

// Wine's registry-file text of a string, with its quotes: `\\`, `\"`, control
// characters escaped, characters above 127 as \x and hex digits.
std::string WineRegString(std::string_view utf8);

}  // namespace test
