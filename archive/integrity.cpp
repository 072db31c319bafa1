#include "archive/integrity.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "archive/MD5Api.h"
#include "platform/text.h"
#include "platform/thread_priority.h"

namespace archive {

namespace {

// qdm.ini values that mean "not checked": Profile1's default for a missing
// key, and the value the add-on gives archives it does not vouch for.
constexpr std::string_view kMissingValue = "********************";
constexpr std::string_view kUncheckedValue = "00000000000000000000000000000000";

bool IsCheckedArchive(std::string_view name) {
  return std::any_of(
      std::begin(kCheckedArchives), std::end(kCheckedArchives),
      [&](std::string_view checked) { return platform::EqualsIgnoreCase(name, checked); });
}

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

constexpr std::string_view kLineStart = "Fichier ";
constexpr std::string_view kLineEnd = " corrompu";

}  // namespace

std::string CorruptionLine(std::string_view name) {
  return std::string(kLineStart).append(name).append(kLineEnd);
}

std::vector<std::string> CorruptArchiveNames(const std::vector<std::string>& corruption_lines) {
  std::vector<std::string> names;
  for (const std::string& line : corruption_lines) {
    if (line.size() < kLineStart.size() + kLineEnd.size() ||
        !platform::StartsWith(line, kLineStart) || !platform::EndsWith(line, kLineEnd)) {
      continue;
    }
    std::string name =
        line.substr(kLineStart.size(), line.size() - kLineStart.size() - kLineEnd.size());
    if (platform::EndsWith(platform::UpperCase(name), ".7Z")) names.push_back(std::move(name));
  }
  return names;
}

// What the workers and the completion share; it outlives the check object
// while a posted completion is still queued.
struct IntegrityCheck::State {
  struct Digest {
    std::string line;      // the corruption line, should the digests differ
    std::string path;      // the file to hash
    std::string expected;  // the value of qdm.ini
    bool skip_when_gone;   // an archive that vanished since the scan is skipped
    std::string actual;    // computed by a worker
  };

  State(platform::FileSystem& files, std::vector<std::string>& lines, bool& found)
      : files(files), corruption_lines(lines), corruption_found(found) {}

  // Worker threads: hash until every chosen file has its digest.
  void Hash(const PostToUi& post_to_ui, const std::weak_ptr<State>& self) {
    for (std::size_t i = next++; i < digests.size() && !cancel; i = next++) {
      digests[i].actual = FileDigest(files, digests[i].path, &bytes_hashed);
      bool last = false;
      {
        std::lock_guard lock(mutex);
        last = ++hashed == digests.size();
      }
      if (!last) continue;
      post_to_ui([self] {
        if (const auto state = self.lock()) state->Publish();
      });
    }
  }

  // User-interface thread: the lines in the order of the sequential check.
  void Publish() {
    if (published) return;
    published = true;
    for (const Digest& digest : digests) {
      if (digest.skip_when_gone && digest.actual.empty()) continue;
      if (digest.actual != digest.expected) {
        corruption_lines.push_back(digest.line);
        corruption_found = true;
      }
    }
    if (!platform::EqualsIgnoreCase(own_folder, build_folder)) {
      (void)files.RemoveFile(own_folder + "qdm.ini");
    }
    if (on_done) on_done();
  }

  platform::FileSystem& files;
  std::vector<std::string>& corruption_lines;
  bool& corruption_found;
  std::string own_folder;
  std::string build_folder;
  Task on_done;
  std::vector<Digest> digests;    // fixed before the workers start
  std::uint64_t bytes_total = 0;  // their sizes, known before the workers start
  bool published = false;         // user-interface thread only

  std::atomic<std::size_t> next{0};
  std::atomic<bool> cancel{false};
  std::atomic<std::uint64_t> bytes_hashed{0};
  std::mutex mutex;
  std::size_t hashed = 0;  // guarded by mutex
};

IntegrityCheck::IntegrityCheck(platform::FileSystem& files, TProfile& profile1, TBFC_Dir& bfc_dir4,
                               std::vector<std::string>& corruption_lines, bool& corruption_found)
    : files_(files),
      profile1_(profile1),
      bfc_dir4_(bfc_dir4),
      state_(std::make_shared<State>(files, corruption_lines, corruption_found)) {}

IntegrityCheck::~IntegrityCheck() {
  state_->cancel = true;
  for (std::thread& worker : workers_) worker.join();
}

bool IntegrityCheck::Finished() const { return state_->published; }

IntegrityCheck::Progress IntegrityCheck::HashingProgress() const {
  return {state_->bytes_hashed.load(), state_->bytes_total};
}

void IntegrityCheck::Start(const Folders& folders, PostToUi post_to_ui, Task on_done) {
  const std::string install = WithBackslash(folders.install_folder);
  const std::string addon = install + "QUORVEL\\";
  State& state = *state_;
  state.own_folder = WithBackslash(folders.own_folder);
  state.build_folder = WithBackslash(folders.build_folder);
  state.on_done = std::move(on_done);

  for (const std::string_view name : kObsoleteArchives) {
    const std::string path = addon + std::string(name);
    if (files_.Exists(path)) (void)files_.RemoveFile(path);
  }

  bfc_dir4_.PathName = install + "QUORVEL";
  bfc_dir4_.ReadDir();
  const std::vector<std::string> archives(bfc_dir4_.ListFiles.begin(), bfc_dir4_.ListFiles.end());

  profile1_.Category = "MD5";
  profile1_.IniFileName = state.own_folder + "qdm.ini";
  const auto read_value = [&](const std::string& key) {
    profile1_.KeyName = key;
    (void)profile1_.Execute();  // a missing value reads as the default
    return std::string(profile1_.DataString);
  };

  // The library has no skip rule: a missing value or file gives the line.
  state.digests.push_back(
      {CorruptionLine("QDsys.dll"), install + "QDsys.dll", read_value("QDsys.dll"), false, {}});
  for (const std::string& name : archives) {
    std::string value = read_value(name);
    if (value == kMissingValue || value == kUncheckedValue || !IsCheckedArchive(name)) continue;
    state.digests.push_back({CorruptionLine(name), addon + name, std::move(value), true, {}});
  }

  for (const State::Digest& digest : state.digests) {
    if (auto file = files_.OpenFile(digest.path, platform::OpenMode::kRead)) {
      if (const auto size = (*file)->Size()) state.bytes_total += *size;
    }
  }

  const std::size_t threads =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, state.digests.size());
  const std::weak_ptr<State> self = state_;
  for (std::size_t i = 0; i < threads; ++i) {
    workers_.emplace_back([state = state_.get(), post_to_ui, self] {
      platform::RunThisThreadInBackground();  // the window first
      state->Hash(post_to_ui, self);
    });
  }
}

}  // namespace archive
