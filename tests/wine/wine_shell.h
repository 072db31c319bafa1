// What the Wine tests share: running shell commands and Windows programs
// under wine64, quoting, and host files seen from Wine.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wine_test {

inline constexpr char kWine[] = "/usr/lib/wine/wine64";
inline constexpr char kWineServer[] = "/usr/lib/wine/wineserver";

// The Windows build's folder: $REMEDOR_WIN_BUILD (./dev.sh test sets it),
// else <source>/build-win.
std::filesystem::path WindowsBuild();

// The text as one word for sh.
std::string ShellQuote(std::string_view text);
// Runs a shell command; its standard output (standard error is dropped).
std::string CaptureOutput(const std::string& command);
// "Z:\..." for a path of the host: Wine's Z: drive is the host's root.
std::string HostPathForWine(const std::filesystem::path& path);
// A probe of REMEDOR_PROBE_DIR run once on an input file given by its Windows
// path, in the prefix; its output lines, carriage returns dropped.
std::vector<std::string> RunProbe(const std::string& prefix, const std::string& probe,
                                  const std::string& input);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace wine_test
