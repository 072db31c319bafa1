#include "platform/win32/win32_ui.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kCaption[] = L"Remedor";

UINT MessageStyle(MessageKind kind) {
  switch (kind) {
    case MessageKind::kPlain:
      return MB_OK;
    case MessageKind::kError:
      return MB_OK | MB_ICONERROR;
    case MessageKind::kWarning:
      return MB_OK | MB_ICONWARNING;
    case MessageKind::kInformation:
      return MB_OK | MB_ICONINFORMATION;
    case MessageKind::kConfirmation:
      return MB_YESNO | MB_ICONQUESTION;
  }
  return MB_OK;
}

}  // namespace

MessageAnswer Win32UserInterface::ShowMessage(MessageKind kind, std::string_view text) {
  const std::wstring wide = Displayable(text);
  switch (MessageBoxW(owner_, wide.c_str(), kCaption, MessageStyle(kind) | MB_TASKMODAL)) {
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    case IDCANCEL:
      return MessageAnswer::kCancel;
    default:
      return MessageAnswer::kOk;
  }
}

std::optional<std::string> Win32UserInterface::AskOpenFile(const OpenFileRequest& request) {
  // The filter is pairs of NUL-terminated texts, the list ended by one more NUL.
  std::wstring filter = Displayable(request.filter_title);
  filter += L'\0';
  filter += Displayable(request.filter_pattern);
  filter += L'\0';
  const std::wstring folder = Displayable(request.initial_folder);
  std::vector<wchar_t> chosen(32768, L'\0');

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  // From the system folder on first use: imported, comdlg32 would bring the
  // common controls, and what they load, in before the entry point.
  static const auto open_dialog =
      SystemFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  if (!open_dialog || !open_dialog(&dialog)) return std::nullopt;
  return ToUtf8(chosen.data(), chosen.size());
}

void Win32UserInterface::SetClipboardText(std::string_view text) {
  const std::wstring wide = Displayable(text);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
  }
  // Another program may hold the clipboard for a moment.
  bool opened = false;
  for (int attempt = 0; attempt < 10 && !(opened = OpenClipboard(owner_)); ++attempt) Sleep(20);
  if (!opened) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  // Once set, the memory belongs to the clipboard.
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

}  // namespace platform::win32
