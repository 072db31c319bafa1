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

#include "tests/wine/probes/probe_windows.h"

extern "C" int _CRT_glob = 0;  // the arguments are not wildcards to expand

using namespace probe;

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
