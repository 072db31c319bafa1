// User-interface services the logic asks of its front end (the Win32 window,
// or the headless driver): message boxes, the file-open dialog, the clipboard.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class MessageKind {
  kPlain,         // MessageBox with OK
  kError,         // the framework's error box for an uncaught error
  kWarning,       // warning dialog, OK
  kInformation,   // information dialog, OK
  kConfirmation,  // Yes / No
};

enum class MessageAnswer { kOk, kYes, kNo, kCancel };

struct OpenFileRequest {
  std::string initial_folder;
  std::string filter_title;    // e.g. "archive-volumes"
  std::string filter_pattern;  // e.g. "archive.*"
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Modal: returns when the player answered. Text may hold \r and \n.
  virtual MessageAnswer ShowMessage(MessageKind kind, std::string_view text) = 0;
  // GetOpenFileName; nullopt when cancelled. The file and its path must exist.
  virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
  // Replaces the clipboard's text.
  virtual void SetClipboardText(std::string_view text) = 0;
};

}  // namespace platform
