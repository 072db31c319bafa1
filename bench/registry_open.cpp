// Opening the simulated machine's registry: a system.reg the size of a fresh
// Wine prefix's (9,000 keys, 1.7 MB) read by WineRegistry::Open, against
// reading the same file's bytes, side by side in the same run; then lookups
// through TmRegistry as the survey makes them.
//   BENCH registry_open ratio=<open / read> open_ms=... read_ms=... lookup_us=...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "components/mRegistry.h"
#include "platform/posix/wine_registry.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKeys = 9000;
constexpr int kRounds = 5;
constexpr int kLookups = 10000;

std::string MachineFile() {
  std::string text =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
  char line[256];
  for (int i = 0; i < kKeys; ++i) {
    std::snprintf(line, sizeof line,
                  "\n[Software\\\\Wow6432Node\\\\Vendor%02d\\\\Product%03d\\\\Key%d] 1796867861\n"
                  "#time=1dd8849d70988ea\n@=\"C:\\\\Program Files\\\\Vendor\\\\%d\"\n"
                  "\"Version\"=dword:%08x\n\"Data\"=hex:00,01,02,03,04,05,06,07,08,09\n"
                  "\"Name\"=\"value number %d\"\n",
                  i % 40, i % 300, i, i, i, i);
    text += line;
  }
  return text;
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
  const fs::path prefix = fs::temp_directory_path() / "remedor-bench-registry";
  fs::create_directories(prefix);
  std::ofstream(prefix / "system.reg", std::ios::binary) << MachineFile();

  double open_ms = 1e9;
  double read_ms = 1e9;
  std::size_t bytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    std::ifstream in(prefix / "system.reg", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    read_ms = std::min(read_ms, Milliseconds(Clock::now() - start));
    bytes = text.size();

    start = Clock::now();
    auto registry = platform::posix::WineRegistry::Open(prefix);
    open_ms = std::min(open_ms, Milliseconds(Clock::now() - start));
    if (!registry.ok()) {
      std::fprintf(stderr, "%s\n", registry.error().Message().c_str());
      return 1;
    }
  }

  auto registry = platform::posix::WineRegistry::Open(prefix);
  TmRegistry component(**registry);
  std::size_t found = 0;
  const auto start = Clock::now();
  for (int i = 0; i < kLookups; ++i) {
    const int key = (i * 7919) % kKeys;
    component.Key = "\\SOFTWARE\\vendor" + std::to_string(100 + key % 40).substr(1) + "\\product" +
                    std::to_string(1000 + key % 300).substr(1) + "\\key" + std::to_string(key);
    found += component.ReadValue("Name").empty() ? 0 : 1;
  }
  const double lookup_us = Milliseconds(Clock::now() - start) * 1000 / kLookups;

  std::printf(
      "BENCH registry_open ratio=%.1f open_ms=%.1f read_ms=%.2f keys=%d bytes=%zu "
      "lookup_us=%.1f found=%zu\n",
      open_ms / read_ms, open_ms, read_ms, kKeys, bytes, lookup_us, found);
  fs::remove_all(prefix);
  return found == kLookups ? 0 : 1;
}
