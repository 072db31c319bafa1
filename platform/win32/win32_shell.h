// Download, browser and file manager over urlmon and the shell.
#pragma once

#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell final : public Shell {
 public:
  Status Download(std::string_view url, std::string_view local_path) override;
  void OpenInBrowser(std::string_view url) override;
  void OpenFolder(std::string_view folder) override;
};

}  // namespace platform::win32
