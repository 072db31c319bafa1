#include "tests/wine/wine_shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace wine_test {

std::filesystem::path WindowsBuild() {
  const char* build = std::getenv("REMEDOR_WIN_BUILD");
  return build && *build ? std::filesystem::path(build)
                         : std::filesystem::path(REMEDOR_SOURCE_DIR) / "build-win";
}

std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string CaptureOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

std::string HostPathForWine(const std::filesystem::path& path) {
  std::string text = "Z:" + path.string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

std::vector<std::string> RunProbe(const std::string& prefix, const std::string& probe,
                                  const std::string& input) {
  std::string output = CaptureOutput(
      "env WINEDEBUG=-all WINEPREFIX=" + ShellQuote(prefix) + " " + kWine + " " +
      ShellQuote(std::string(REMEDOR_PROBE_DIR) + "/" + probe) + " " + ShellQuote(input));
  std::erase(output, '\r');
  std::vector<std::string> lines;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace wine_test
