// Existence lookups through the Windows backend (run under Wine by
// ./dev.sh bench when the Windows build is there): TypeOf, answered from
// folder listings, with paths in another letter case than the stored names,
// against GetFileAttributesW per entry on the exact paths, over 20,000 files
// in 20 folders. A first pass of ours is shown as cold_ms; then the rounds
// alternate, the best of five each. Under Wine the figure says little about
// NTFS: it is reported, not a goal.
//   BENCH win32_lookups ratio=<ours / GetFileAttributesW> ...
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_text.h"

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 1000;
constexpr int kRounds = 5;

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
  auto os = platform::OpenPlatform({});
  if (!os) return 2;
  platform::FileSystem& files = (*os)->files();
  const std::string root = "C:\\remedor-bench-lookups-" + std::to_string(GetCurrentProcessId());
  if (!files.CreateDirectory(root).ok()) return 2;
  std::vector<std::wstring> exact;
  std::vector<std::string> other_case;
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string name = root + "\\Track_" + std::to_string(folder);
    (void)files.CreateDirectory(name);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      const std::string path = name + "\\Texture_" + std::to_string(file) + ".Dds";
      (void)files.WriteAll(path, "x");
      exact.push_back(*platform::win32::ToWide(path));
      std::string upper = path;
      std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
      other_case.push_back(upper);
    }
  }

  std::size_t found = 0;
  const auto run_ours = [&] {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : other_case) {
      found += files.TypeOf(path) == platform::EntryType::kFile ? 1 : 0;
    }
    return std::chrono::steady_clock::now() - start;
  };
  const auto run_attributes = [&] {
    const auto start = std::chrono::steady_clock::now();
    for (const std::wstring& path : exact) {
      found += GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    }
    return std::chrono::steady_clock::now() - start;
  };
  const double cold = Milliseconds(run_ours());
  double ours = 1e300, attributes = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    attributes = std::min(attributes, Milliseconds(run_attributes()));
    ours = std::min(ours, Milliseconds(run_ours()));
  }
  (void)files.DeleteSilently(root);

  const std::size_t expected = (1 + 2 * kRounds) * exact.size();
  if (found != expected) {
    std::fprintf(stderr, "win32_lookups: %zu of %zu found\n", found, expected);
    return 1;
  }
  std::printf("BENCH win32_lookups ratio=%.2f ours_ms=%.1f attributes_ms=%.1f cold_ms=%.1f\n",
              ours / attributes, ours, attributes, cold);
  return 0;
}
