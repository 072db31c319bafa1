// The portable version-resource reader against Wine's GetFileVersionInfoW and
// VerQueryValueW, on the fixture libraries (<build>/pe-fixtures): both must
// see the same file version, translations and strings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/pe_version.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;

namespace fs = std::filesystem;

const char* const kNames[] = {"FileVersion", "CompanyName",    "LegalCopyright",
                              "ProductName", "ProductVersion", "Missing"};

std::string Probe(const fs::path& prefix, const fs::path& file) {
  std::string command = "env WINEDEBUG=-all WINEPREFIX=" + ShellQuote(prefix.string()) + " " +
                        kWine + " " +
                        ShellQuote(std::string(REMEDOR_PROBE_DIR) + "/version_probe.exe") + " " +
                        ShellQuote(HostPathForWine(file));
  for (const char* name : kNames) command += std::string(" ") + name;
  std::string output = CaptureOutput(command);
  std::erase(output, '\r');  // the console's line ends
  return output;
}

// The probe's output as the reader's answer would make it.
std::string AsProbeWouldPrint(const std::optional<platform::VersionInfo>& info) {
  if (!info) return "none\n";
  char line[64];
  std::string text;
  if (info->file_version) {
    const auto& v = *info->file_version;
    std::snprintf(line, sizeof line, "fixed %u.%u.%u.%u\n", v[0], v[1], v[2], v[3]);
    text += line;
  } else {
    text += "fixed -\n";
  }
  for (const auto& [language, code_page] : info->translations) {
    std::snprintf(line, sizeof line, "translation %04x %04x\n", language, code_page);
    text += line;
  }
  if (info->translations.empty()) return text;
  for (const char* name : kNames) {
    for (const auto& [key, value] : info->strings) {
      if (key == name) {
        text += "string " + key + "=" + value + "\n";
        break;
      }
    }
  }
  return text;
}

TEST(PeVersionAgainstWine, SameAnswersOnTheFixtureLibraries) {
  const char* prefix = std::getenv("REMEDOR_WINEPREFIX");
  if (!prefix || !*prefix) GTEST_SKIP() << "REMEDOR_WINEPREFIX is not set";
  const fs::path fixtures = fs::path(REMEDOR_BINARY_DIR) / "pe-fixtures";
  for (const char* name : {"with_version.dll", "with_version32.dll", "without_version.dll",
                           "without_file_version.dll"}) {
    SCOPED_TRACE(name);
    std::ifstream in(fixtures / name, std::ios::binary);
    ASSERT_TRUE(in);
    const std::string image(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(AsProbeWouldPrint(platform::ReadPeVersionInfo(image)),
              Probe(prefix, fixtures / name));
  }
}

}  // namespace
