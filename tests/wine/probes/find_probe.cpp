// Runs FindFirstFileA / FindNextFileA for each pattern of an input file and
// prints what the real API answers, so that the simulated machine's directory
// search can be held against it.
//
//   find_probe.exe <input file>
// Input: UTF-8, one pattern per line (kept byte for byte: trailing blanks
// matter). Output, one line per pattern, UTF-8:
//   <GetLastError() or 0> TAB <name>/<attributes in hex> TAB ...
#include <windows.h>

#include <cstdio>
#include <string>

extern "C" int _CRT_glob = 0;  // the arguments are not wildcards to expand

namespace {

std::wstring Widen(const std::string& text, UINT code_page) {
  std::wstring wide(text.size(), L'\0');
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT code_page) {
  std::string text(wide.size() * 4, '\0');
  const int n = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                    text.data(), static_cast<int>(text.size()), nullptr, nullptr);
  text.resize(n);
  return text;
}

std::string AnsiToUtf8(const std::string& ansi) { return Narrow(Widen(ansi, CP_ACP), CP_UTF8); }
std::string Utf8ToAnsi(const std::string& utf8) { return Narrow(Widen(utf8, CP_UTF8), CP_ACP); }

std::string ReadFileBytes(const wchar_t* path) {
  std::string bytes;
  FILE* file = _wfopen(path, L"rb");
  if (!file) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  fclose(file);
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::string input = ReadFileBytes(argv[1]);
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    const std::string pattern = Utf8ToAnsi(input.substr(start, end - start));
    start = end + 1;

    std::string line;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
      line = std::to_string(GetLastError());
    } else {
      line = "0";
      do {
        char attributes[16];
        std::snprintf(attributes, sizeof attributes, "%lx", data.dwFileAttributes);
        line += "\t" + AnsiToUtf8(data.cFileName) + "/" + attributes;
      } while (FindNextFileA(search, &data));
      FindClose(search);
    }
    std::printf("%s\n", line.c_str());
  }
  return 0;
}
