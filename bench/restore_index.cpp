// BENCH restore_index: the restoration's index of the add-on's archives, read
// from their headers (nothing extracted), over ten 7z archives of 5,000 small
// files each, 50,000 items in all (best of three runs).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/SevenZip.h"
#include "platform/posix/prefix_files.h"
#include "repairs/restore_index.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kArchives = 10;
constexpr int kFolders = 50;
constexpr int kFilesPerFolder = 100;

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "remedor-bench-XXXXXX");
  if (!::mkdtemp(pattern.data())) return 1;
  const std::filesystem::path prefix = pattern;
  const std::filesystem::path source = prefix / "drive_c/src";
  std::filesystem::create_directories(prefix / "drive_c/Game/QUORVEL");
  for (int folder = 0; folder < kFolders; ++folder) {
    const auto dir = source / "Maps" / ("track" + std::to_string(folder));
    std::filesystem::create_directories(dir);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      std::ofstream(dir / ("part" + std::to_string(file) + ".dat")) << folder << ':' << file;
    }
  }
  std::vector<std::string> names;
  for (int i = 0; i < kArchives; ++i) {
    names.push_back("pack" + std::to_string(i) + ".7z");
    const std::string command = "cd '" + source.string() + "' && 7z a -mx1 '" +
                                (prefix / "drive_c/Game/QUORVEL" / names.back()).string() +
                                "' Maps >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return 1;
  }

  platform::posix::PrefixFileSystem files(prefix);
  archive::TSevenZip sevenzip(files, nullptr);
  double best = 1e9;
  std::size_t items = 0;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    const repairs::RestoreIndex index =
        repairs::BuildRestoreIndex(sevenzip, "C:\\Game\\", names, nullptr);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    items = 0;
    for (const repairs::IndexedArchive& archive : index.archives) items += archive.files.size();
  }
  std::filesystem::remove_all(prefix);
  if (items != static_cast<std::size_t>(kArchives * kFolders * kFilesPerFolder)) return 1;
  std::printf("BENCH restore_index seconds=%.3f archives=%d items=%zu\n", best, kArchives, items);
  return 0;
}
