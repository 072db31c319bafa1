#include "platform/win32/win32_shell.h"

#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <shellapi.h>
#include <urlmon.h>

#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// urlmon works through COM. A thread that already has its apartment (the
// window's thread) keeps it; any other gets one for the length of the call.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_;
};

}  // namespace

Status Win32Shell::Download(std::string_view url, std::string_view local_path) {
  const auto wide_url = ToWide(url);
  const auto wide_path = ToWide(local_path);
  if (!wide_url || !wide_path) {
    return MakeError(Errc::kBadPathname, "URLDownloadToFile", std::string(url), ERROR_BAD_PATHNAME,
                     "the address or the file name holds a NUL character");
  }
  const ComApartment apartment;
  const HRESULT answer =
      URLDownloadToFileW(nullptr, wide_url->c_str(), wide_path->c_str(), 0, nullptr);
  if (answer != S_OK) {
    return MakeError(Errc::kIo, "URLDownloadToFile", std::string(url),
                     static_cast<std::uint32_t>(answer));
  }
  return {};
}

void Win32Shell::OpenInBrowser(std::string_view url) {
  const auto wide = ToWide(url);
  if (!wide) return;
  ShellExecuteW(nullptr, L"open", wide->c_str(), L"", L"", SW_SHOWNORMAL);
}

void Win32Shell::OpenFolder(std::string_view folder) {
  auto wide = ToWide(folder);
  if (!wide || wide->empty()) return;
  // Quoted, so that blanks stay inside the one argument; a backslash before
  // the closing quote would escape it, so a folder other than a drive root
  // loses its trailing one, and a root (which has no blanks) goes unquoted.
  std::wstring argument = *wide;
  const bool drive_root = argument.size() == 3 && argument[1] == L':' && argument[2] == L'\\';
  if (!drive_root) {
    while (argument.size() > 1 && argument.back() == L'\\') argument.pop_back();
    argument = L"\"" + argument + L"\"";
  }
  ShellExecuteW(nullptr, L"open", L"explorer.exe", argument.c_str(), wide->c_str(), SW_SHOWNORMAL);
}

}  // namespace platform::win32
