// The user interface of a run without a window: message boxes and dialogs are
// answered from a queue of scripted answers (or by their defaults), and every
// one of them is recorded with its answer, as is every clipboard write.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace app {

// One scripted answer: a button, or a file for the file-open dialog.
struct ScriptedAnswer {
  enum class Kind { kOk, kYes, kNo, kCancel, kFile };
  Kind kind = Kind::kOk;
  std::string file;  // for kFile
};

struct RecordedDialog {
  std::string kind;    // "plain", "error", "warning", "information", "confirmation", "open-file"
  std::string text;    // the message, or the dialog's filter for a file-open dialog
  std::string answer;  // "ok", "yes", "no", "cancel", or the file chosen
};

class HeadlessUi : public platform::UserInterface {
 public:
  // Answers wait in order for the next box or dialog that asks. Without one:
  // OK, No to a Yes/No question, cancel to a file-open dialog.
  void QueueAnswer(ScriptedAnswer answer) { answers_.push_back(std::move(answer)); }

  platform::MessageAnswer ShowMessage(platform::MessageKind kind, std::string_view text) override;
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest& request) override;
  void SetClipboardText(std::string_view text) override;

  // Called with every dialog once it is answered (the driver prints it).
  std::function<void(const RecordedDialog&)> on_dialog;
  // Called after every modal box closes: closing one re-activates the window.
  std::function<void()> after_modal;
  // Called with every clipboard write.
  std::function<void(const std::string&)> on_clipboard;

  const std::vector<RecordedDialog>& dialogs() const { return dialogs_; }
  const std::string& clipboard() const { return clipboard_; }

 private:
  std::optional<ScriptedAnswer> NextAnswer();
  void Record(RecordedDialog dialog);

  std::deque<ScriptedAnswer> answers_;
  std::vector<RecordedDialog> dialogs_;
  std::string clipboard_;
};

// "ok", "yes", "no", "cancel" (any letter case); nullopt for anything else.
std::optional<ScriptedAnswer::Kind> ParseAnswerWord(std::string_view word);

}  // namespace app
