// The platform seen through a decorator that reports what leaves the machine
// (addresses and folders opened).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace app {

// Something that happened outside the machine folder.
struct OutsideEvent {
  std::string event;   // "clipboard", "browser", "folder", "stop"
  std::string detail;  // the text, address or folder; for "stop" how it stopped
};

class ObservedPlatform : public platform::Platform, private platform::Shell {
 public:
  explicit ObservedPlatform(platform::Platform& inner) : inner_(inner) {}

  platform::Registry& registry() override { return inner_.registry(); }
  platform::FileSystem& files() override { return inner_.files(); }
  platform::ProfileStrings& profile() override { return inner_.profile(); }
  platform::Machine& machine() override { return inner_.machine(); }
  platform::Shell& shell() override { return *this; }

  // Called for every address or folder opened (any thread).
  std::function<void(OutsideEvent)> on_event;

 private:
  platform::Status Download(std::string_view url, std::string_view local_path) override;
  void OpenInBrowser(std::string_view url) override;
  void OpenFolder(std::string_view folder) override;

  platform::Platform& inner_;
};

}  // namespace app
