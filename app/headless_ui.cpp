#include "app/headless_ui.h"

#include "platform/text.h"

namespace app {

namespace {

const char* KindName(platform::MessageKind kind) {
  switch (kind) {
    case platform::MessageKind::kPlain:
      return "plain";
    case platform::MessageKind::kError:
      return "error";
    case platform::MessageKind::kWarning:
      return "warning";
    case platform::MessageKind::kInformation:
      return "information";
    case platform::MessageKind::kConfirmation:
      return "confirmation";
  }
  return "plain";
}

const char* AnswerName(platform::MessageAnswer answer) {
  switch (answer) {
    case platform::MessageAnswer::kOk:
      return "ok";
    case platform::MessageAnswer::kYes:
      return "yes";
    case platform::MessageAnswer::kNo:
      return "no";
    case platform::MessageAnswer::kCancel:
      return "cancel";
  }
  return "ok";
}

}  // namespace

std::optional<ScriptedAnswer::Kind> ParseAnswerWord(std::string_view word) {
  const std::string lower = platform::LowerCase(word);
  if (lower == "ok") return ScriptedAnswer::Kind::kOk;
  if (lower == "yes") return ScriptedAnswer::Kind::kYes;
  if (lower == "no") return ScriptedAnswer::Kind::kNo;
  if (lower == "cancel") return ScriptedAnswer::Kind::kCancel;
  return std::nullopt;
}

std::optional<ScriptedAnswer> HeadlessUi::NextAnswer() {
  if (answers_.empty()) return std::nullopt;
  ScriptedAnswer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

void HeadlessUi::Record(RecordedDialog dialog) {
  dialogs_.push_back(std::move(dialog));
  if (on_dialog) on_dialog(dialogs_.back());
  if (after_modal) after_modal();
}

platform::MessageAnswer HeadlessUi::ShowMessage(platform::MessageKind kind, std::string_view text) {
  const bool question = kind == platform::MessageKind::kConfirmation;
  platform::MessageAnswer answer =
      question ? platform::MessageAnswer::kNo : platform::MessageAnswer::kOk;
  if (auto scripted = NextAnswer()) {
    using K = ScriptedAnswer::Kind;
    // A box only offers its own buttons: a Yes/No question takes yes or no
    // (anything else closes it as No would); an OK box closes with OK.
    if (question && scripted->kind == K::kYes) answer = platform::MessageAnswer::kYes;
  }
  Record({KindName(kind), std::string(text), AnswerName(answer)});
  return answer;
}

std::optional<std::string> HeadlessUi::AskOpenFile(const platform::OpenFileRequest& request) {
  std::optional<std::string> chosen;
  if (auto scripted = NextAnswer(); scripted && scripted->kind == ScriptedAnswer::Kind::kFile) {
    chosen = scripted->file;
  }
  Record({"open-file", request.filter_title + " (" + request.filter_pattern + ")",
          chosen ? *chosen : "cancel"});
  return chosen;
}

void HeadlessUi::SetClipboardText(std::string_view text) {
  clipboard_ = std::string(text);
  if (on_clipboard) on_clipboard(clipboard_);
}

}  // namespace app
