// Answers the message boxes of a program under test from inside its Wine
// prefix, as a player pressing Enter would: every shown dialog box with the
// given title gets its default button pressed. Runs until it is ended.
//
//   answer_boxes.exe <title>
// Asking the window manager instead needs the box focused first, which a
// loaded display does not always grant.
#include <windows.h>

#include <cwchar>

extern "C" int _CRT_glob = 0;  // the arguments are not wildcards to expand

namespace {

constexpr UINT kPollMs = 200;
constexpr UINT kAnswerTimeoutMs = 2000;

BOOL CALLBACK Answer(HWND window, LPARAM title) {
  wchar_t class_name[16] = {};
  wchar_t text[256] = {};
  if (!IsWindowVisible(window) || GetClassNameW(window, class_name, 16) == 0 ||
      std::wcscmp(class_name, L"#32770") != 0 || GetWindowTextW(window, text, 256) == 0 ||
      std::wcscmp(text, reinterpret_cast<const wchar_t*>(title)) != 0) {
    return TRUE;
  }
  DWORD_PTR default_id = 0;
  const bool asked = SendMessageTimeoutW(window, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG,
                                         kAnswerTimeoutMs, &default_id) != 0;
  const int button = asked && HIWORD(default_id) == DC_HASDEFID ? LOWORD(default_id) : IDOK;
  // Sent, not posted: the next round must not find the same box and press twice.
  SendMessageTimeoutW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(window, button)), SMTO_ABORTIFHUNG,
                      kAnswerTimeoutMs, nullptr);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  for (;;) {
    EnumWindows(Answer, reinterpret_cast<LPARAM>(argv[1]));
    Sleep(kPollMs);
  }
}
