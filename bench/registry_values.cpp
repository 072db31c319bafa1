// Opening a simulated machine whose registry holds one key of many values (a
// prefix's fonts or an installer's file list): loading must stay linear in
// the values. Values are then read back through the platform, as the tool
// (a 32-bit program) sees them.
//   BENCH registry_values seconds=<open> values=100000 lookup_us=...
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/wine_registry.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kValues = 100000;
constexpr int kLookups = 100;

std::string MachineFile() {
  std::string text =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"
      "\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Fonts] "
      "1796867861\n"
      "#time=1dd8849d70988ea\n";
  char line[128];
  for (int i = 0; i < kValues; ++i) {
    std::snprintf(line, sizeof line, "\"Font number %d (TrueType)\"=\"font%d.ttf\"\n", i, i);
    text += line;
  }
  return text;
}

}  // namespace

int main() {
  const fs::path prefix = fs::temp_directory_path() / "remedor-bench-registry-values";
  fs::create_directories(prefix);
  std::ofstream(prefix / "system.reg", std::ios::binary) << MachineFile();

  const auto start = Clock::now();
  auto registry = platform::posix::WineRegistry::Open(prefix);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!registry.ok()) {
    std::fprintf(stderr, "%s\n", registry.error().Message().c_str());
    return 1;
  }

  auto key = (*registry)->OpenKey(platform::RootKey::kLocalMachine,
                                  "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                                  platform::KeyAccess::kRead);
  int found = 0;
  const auto lookups = Clock::now();
  for (int i = 0; key && i < kLookups; ++i) {
    const int n = (i * 7919) % kValues;
    found += (*registry)->QueryValue(*key, "FONT NUMBER " + std::to_string(n) + " (TRUETYPE)").ok();
  }
  const double lookup_us =
      std::chrono::duration<double, std::micro>(Clock::now() - lookups).count() / kLookups;
  std::printf("BENCH registry_values seconds=%.3f values=%d lookup_us=%.1f found=%d\n", seconds,
              kValues, lookup_us, found);
  fs::remove_all(prefix);
  return found == kLookups ? 0 : 1;
}
