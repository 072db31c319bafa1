// Existence lookups on the simulated machine: TypeOf through the prefix file
// system (answered from folder listings), with Windows paths in another letter
// case than the stored names, against plain stat() calls on the exact host
// paths, over a tree of 50,000 files. Both run warm (a first pass fills the listing cache and the
// kernel's caches; it is shown as cold_ms), the best of five rounds each.
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/prefix_files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 50;
constexpr int kFilesPerFolder = 1000;
constexpr int kRounds = 5;

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
  std::string pattern = (fs::temp_directory_path() / "remedor-bench-XXXXXX").string();
  const fs::path prefix = ::mkdtemp(pattern.data());
  std::vector<std::string> windows_paths;
  std::vector<std::string> host_paths;
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string folder_name = "Track_" + std::to_string(folder);
    const fs::path host_folder =
        prefix / "drive_c" / "Games" / "Richard Burns Rally" / "Maps" / folder_name;
    fs::create_directories(host_folder);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      const std::string name = "Texture_" + std::to_string(file) + ".Dds";
      std::ofstream(host_folder / name).put('x');
      host_paths.push_back((host_folder / name).string());
      windows_paths.push_back("C:\\GAMES\\richard burns rally\\MAPS\\track_" +
                              std::to_string(folder) + "\\TEXTURE_" + std::to_string(file) +
                              ".dds");
    }
  }

  platform::posix::PrefixFileSystem files(prefix);
  std::size_t found = 0;
  const auto run_ours = [&] {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : windows_paths)
      found += files.TypeOf(path) == platform::EntryType::kFile ? 1 : 0;
    return std::chrono::steady_clock::now() - start;
  };
  const auto run_stat = [&] {
    const auto start = std::chrono::steady_clock::now();
    struct stat status {};
    for (const std::string& path : host_paths) found += ::stat(path.c_str(), &status) == 0;
    return std::chrono::steady_clock::now() - start;
  };

  // Rounds alternate so that a busy machine slows both alike; the best round counts.
  const double cold = Milliseconds(run_ours());
  double ours = 1e300;
  double plain = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    plain = std::min(plain, Milliseconds(run_stat()));
    ours = std::min(ours, Milliseconds(run_ours()));
  }
  std::error_code ignored;
  fs::remove_all(prefix, ignored);

  const std::size_t expected = (1 + 2 * kRounds) * windows_paths.size();
  if (found != expected) {
    std::fprintf(stderr, "lookups: %zu of %zu found\n", found, expected);
    return 1;
  }
  std::printf("BENCH lookups ratio=%.2f ours_ms=%.1f stat_ms=%.1f cold_ms=%.1f\n", ours / plain,
              ours, plain, cold);
  return 0;
}
