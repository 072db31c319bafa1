// For the tests of the analysis and the repairs: the tool running headless on
// a test machine, with the state the start-up leaves for them (game folder,
// captions, the add-on's pack key, analysis buttons enabled) set directly, so
// that each test builds only the files and values it is about.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/RemedorMain.h"
#include "app/event_loop.h"
#include "app/headless_ui.h"
#include "components/mRegistry.h"
#include "platform/platform.h"
#include "tests/test_machine.h"

namespace test {

inline constexpr char kGameFolder[] = "C:\\Jeux\\RBR\\";
inline constexpr char kPackVersionsKey[] =
    "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs\\";
// The add-on's configuration file and its pack keys, as the car-pack check reads them.
inline constexpr char kConfig[] = "C:\\Jeux\\RBR\\QUORVEL\\Config_P.ini";
inline constexpr char kPacksKey[] = "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs";
inline constexpr char kStageKey[] =
    "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\PackSpeciales2015";

class Tool {
 public:
  explicit Tool(TestMachine& machine) {
    machine.WriteFacts();
    auto opened = platform::OpenPlatform({machine.root().string()});
    if (!opened) throw std::runtime_error(opened.error().Message());
    os = std::move(*opened);
    form_ = std::make_unique<TForm1>(*os, ui, loop, std::vector<std::string>{});
    TForm1& f = *form_;
    f.InstallFolder = kGameFolder;
    f.keys.PackVersionsKey = kPackVersionsKey;
    f.mRegistry6->Key = kPackVersionsKey;
    f.ApplyCaptions();
    f.window.SpeedButton1.enabled = f.window.SpeedButton4.enabled = true;
  }

  TForm1& form() { return *form_; }
  // A click as the window delivers it: an escaping error reaches the
  // top-level handler's error box.
  void Run(void (TForm1::*handler)()) {
    loop.RunHandler([this, handler] { (form().*handler)(); });
  }
  void Analyse(bool full = false) {
    TForm1& f = form();
    loop.RunHandler(
        [&f, full] { f.SpeedButton1Click(full ? f.window.SpeedButton4 : f.window.SpeedButton1); });
  }
  // The texts of the message boxes shown so far, of one kind ("plain", "error").
  std::vector<std::string> Messages(const std::string& kind) const {
    std::vector<std::string> texts;
    for (const auto& dialog : ui.dialogs()) {
      if (dialog.kind == kind) texts.push_back(dialog.text);
    }
    return texts;
  }

  std::unique_ptr<platform::Platform> os;
  app::HeadlessUi ui;
  app::SimulatedClock clock;
  app::EventLoop loop{clock};

 private:
  std::unique_ptr<TForm1> form_;
};

// A fresh look at the machine's registry, as the next program would see it.
inline std::string ReadBack(TestMachine& machine, TmRootKey root, const std::string& key,
                            const std::string& name) {
  auto opened = platform::OpenPlatform({machine.root().string()});
  if (!opened) throw std::runtime_error(opened.error().Message());
  TmRegistry registry((*opened)->registry());
  registry.RootKey = root;
  registry.Key = key;
  return registry.ReadValue(name);
}

// Whether the key exists, as the next program would see it.
inline bool KeyExists(TestMachine& machine, platform::RootKey root, std::string_view key) {
  auto opened = platform::OpenPlatform({machine.root().string()});
  if (!opened) throw std::runtime_error(opened.error().Message());
  auto handle = (*opened)->registry().OpenKey(root, key, platform::KeyAccess::kRead);
  if (!handle) return false;
  (*opened)->registry().CloseKey(*handle);
  return true;
}

}  // namespace test
