// Asks the real GetPrivateProfileStringA / WritePrivateProfileStringA for each
// request of an input file and prints the answers, so that the simulated
// machine's INI reader and writer can be held against them.
//
//   ini_probe.exe <input file>
// Input: UTF-8, one request a line, fields separated by TAB, each field with
// the escapes \\ \t \r \n:
//   R <file> <section> <key> <default> <buffer size>
//   W <file> <section> <key> <value>
// Output, one line per request, escaped the same way (\xHH for other control
// bytes): R gives "<count> TAB <text>" (text in UTF-8); W gives
// "<result> TAB <the file's bytes afterwards>" (bytes above 127 as \xHH).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/probes/probe_text.h"
#include "tests/wine/probes/probe_windows.h"

using namespace probe;

namespace {

std::string Unescape(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char c = field[++i];
    out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(Unescape(line.substr(start, tab - start)));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::string Answer(const std::vector<std::string>& f) {
  if (f[0] == "R" && f.size() == 6) {
    const std::string file = Utf8ToAnsi(f[1]);
    const DWORD size = static_cast<DWORD>(std::stoul(f[5]));
    std::vector<char> buffer(size + 1, '\x7F');
    const DWORD count =
        GetPrivateProfileStringA(Utf8ToAnsi(f[2]).c_str(), Utf8ToAnsi(f[3]).c_str(),
                                 Utf8ToAnsi(f[4]).c_str(), buffer.data(), size, file.c_str());
    const std::string text = size ? std::string(buffer.data()) : std::string();
    return std::to_string(count) + "\t" + Escape(AnsiToUtf8(text), false);
  }
  if (f[0] == "W" && f.size() == 5) {
    const std::string file = Utf8ToAnsi(f[1]);
    const BOOL ok = WritePrivateProfileStringA(Utf8ToAnsi(f[2]).c_str(), Utf8ToAnsi(f[3]).c_str(),
                                               Utf8ToAnsi(f[4]).c_str(), file.c_str());
    return std::to_string(ok ? 1 : 0) + "\t" + Escape(ReadFileBytes(Widen(file, CP_ACP)), true);
  }
  return "bad request";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::string input = ReadFileBytes(argv[1]);
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    const std::string line = input.substr(start, end - start);
    start = end + 1;
    if (!line.empty()) std::printf("%s\n", Answer(SplitTabs(line)).c_str());
  }
  return 0;
}
