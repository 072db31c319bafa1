// BENCH integrity: the integrity check over four 256 MiB archives against
// md5sum hashing the same four files one after the other, side by side (warm
// page cache, best of three runs each). ratio = our check's time / md5sum's;
// on two cores the goal is 0.6 or less.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>

#include "archive/integrity.h"
#include "components/dir_instances.h"
#include "components/profile_instances.h"
#include "platform/posix/prefix_files.h"
#include "platform/posix/prefix_profile.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kArchiveSize = 256ull << 20;
const char* const kArchives[] = {"QDCD.7z", "qdcw.7z", "qdf1.7z", "qdf2.7z"};

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs md5sum over the files; their digests in order, and the time it took.
std::vector<std::string> Md5sum(const std::vector<std::filesystem::path>& paths, double& seconds) {
  std::string command = "md5sum";
  for (const auto& path : paths) command += " '" + path.string() + "'";
  const auto start = Clock::now();
  FILE* pipe = ::popen(command.c_str(), "r");
  std::vector<std::string> digests;
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe)) digests.emplace_back(line, 32);
  if (pipe) ::pclose(pipe);
  seconds = Seconds(start);
  return digests;
}

// The user-interface thread's queue.
class UiQueue {
 public:
  void Post(archive::IntegrityCheck::Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    posted_.notify_all();
  }
  void RunUntilFinished(const archive::IntegrityCheck& check) {
    while (!check.Finished()) {
      std::unique_lock lock(mutex_);
      posted_.wait(lock, [&] { return !tasks_.empty(); });
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<archive::IntegrityCheck::Task> tasks_;
};

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "remedor-bench-XXXXXX");
  if (!::mkdtemp(pattern.data())) return 1;
  const std::filesystem::path prefix = pattern;
  const std::filesystem::path game = prefix / "drive_c/Game";
  std::filesystem::create_directories(game / "QUORVEL");
  std::filesystem::create_directories(prefix / "drive_c/Tool");
  std::vector<std::filesystem::path> paths;
  std::mt19937_64 random(7);
  std::string block(1 << 20, '\0');
  for (const char* name : kArchives) {
    paths.push_back(game / "QUORVEL" / name);
    std::ofstream out(paths.back(), std::ios::binary);
    for (std::uint64_t done = 0; done < kArchiveSize; done += block.size()) {
      for (char& c : block) c = static_cast<char>(random());
      out << block;
    }
  }
  std::ofstream(game / "QDsys.dll") << "library";

  double reference = 1e9, ours = 1e9;
  std::size_t lines = 0;
  for (int run = 0; run < 3; ++run) {
    double seconds = 0;
    const auto digests = Md5sum(paths, seconds);
    reference = std::min(reference, seconds);
    std::ofstream ini(prefix / "drive_c/Tool/qdm.ini", std::ios::binary);
    ini << "[MD5]\r\n";
    for (std::size_t i = 0; i < digests.size(); ++i)
      ini << kArchives[i] << "=" << digests[i] << "\r\n";
    ini.close();

    platform::posix::PrefixFileSystem files(prefix);
    platform::posix::PrefixProfileStrings profile(files);
    TProfile profile1(profile);
    TBFC_Dir bfc_dir4(files);
    Configure(profile1, kProfileInstances[0]);
    Configure(bfc_dir4, kDirInstances[3]);
    std::vector<std::string> corruption_lines;
    bool corruption_found = false;
    UiQueue queue;
    const auto start = Clock::now();
    archive::IntegrityCheck check(files, profile1, bfc_dir4, corruption_lines, corruption_found);
    check.Start({"C:\\Game\\", "C:\\Tool\\", "C:\\RemedorBuild\\"},
                [&](archive::IntegrityCheck::Task task) { queue.Post(std::move(task)); });
    queue.RunUntilFinished(check);
    ours = std::min(ours, Seconds(start));
    lines = corruption_lines.size();  // the library line only: the archives are sound
  }
  std::filesystem::remove_all(prefix);

  std::printf("BENCH integrity ratio=%.3f ours_s=%.2f md5sum_s=%.2f threads=%u lines=%zu\n",
              ours / reference, ours, reference, std::thread::hardware_concurrency(), lines);
  return lines == 1 ? 0 : 1;
}
