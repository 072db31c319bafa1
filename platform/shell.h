// Network and shell: download into a local file, hand an address to the
// browser, show a folder in the file manager.
#pragma once

#include <string_view>

#include "platform/result.h"

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // URLDownloadToFile: fetches the address into the local file (bounded in
  // time and size). May be called from any thread.
  virtual Status Download(std::string_view url, std::string_view local_path) = 0;
  // ShellExecute("open", url): the user's default browser.
  virtual void OpenInBrowser(std::string_view url) = 0;
  // Starts the file manager on a folder (argument and working directory); does not wait.
  virtual void OpenFolder(std::string_view folder) = 0;
};

}  // namespace platform
