// The user-interface services of the Windows window: MessageBoxW,
// GetOpenFileNameW and the clipboard (CF_UNICODETEXT).
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/ui.h"

namespace platform::win32 {

class Win32UserInterface final : public UserInterface {
 public:
  // The owner of the boxes and dialogs, and of the clipboard while it is set;
  // none (the desktop) until the main window exists.
  explicit Win32UserInterface(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  MessageAnswer ShowMessage(MessageKind kind, std::string_view text) override;
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
  void SetClipboardText(std::string_view text) override;

 private:
  HWND owner_;
};

}  // namespace platform::win32
