// What the probes (small Windows programs) share: code-page conversions and
// reading a file whole.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace probe {

inline std::wstring Widen(const std::string& text, UINT code_page) {
  std::wstring wide(text.size(), L'\0');
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n);
  return wide;
}

inline std::string Narrow(const std::wstring& wide, UINT code_page) {
  std::string text(wide.size() * 4, '\0');
  const int n = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                    text.data(), static_cast<int>(text.size()), nullptr, nullptr);
  text.resize(n);
  return text;
}

inline std::string AnsiToUtf8(const std::string& ansi) {
  return Narrow(Widen(ansi, CP_ACP), CP_UTF8);
}
inline std::string Utf8ToAnsi(const std::string& utf8) {
  return Narrow(Widen(utf8, CP_UTF8), CP_ACP);
}

inline std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  fclose(file);
  return bytes;
}

}  // namespace probe
