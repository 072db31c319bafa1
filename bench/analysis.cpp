// The analysis of a 50,000-entry check list over a sample installation. Its
// file loop, and the whole analysis through the window's handler, are
// measured against plain stat() calls on the exact host paths of the same
// entries, side by side in the same run:
//   BENCH analysis ratio=<loop / stat> driver_ratio=<analysis / stat> ...
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/RemedorMain.h"
#include "app/event_loop.h"
#include "app/headless_ui.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 50000;
constexpr int kFolders = 500;
constexpr int kMissing = kEntries / 50;
constexpr char kGame[] = "C:\\Jeux\\RBR\\";

struct Entry {
  std::string text;               // as the check list holds it
  std::vector<std::string> host;  // the exact host paths its check looks at, in order
};

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << "x";
}

std::string HostForm(std::string relative) {
  std::replace(relative.begin(), relative.end(), '\\', '/');
  return relative;
}

// The installation and its check list: mostly present files of the game in
// 500 folders, a few in another letter case than on disk, those folders
// themselves, every marker, and 2% missing (files of existing folders).
std::vector<Entry> BuildInstallation(const fs::path& prefix) {
  const fs::path drive = prefix / "drive_c";
  const fs::path game = drive / "Jeux" / "RBR";
  const fs::path system32 = drive / "windows" / "system32";
  fs::create_directories(system32);
  fs::create_directories(game / "QUORVEL");
  std::ofstream(game / "QUORVEL" / "Config_P.ini", std::ios::binary)
      << "[Nbre_Packs]\r\nnbre=0\r\n";
  std::vector<Entry> entries;
  entries.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    // Each folder holds a hundred consecutive entries, every kind among them.
    const std::string folder = "Data\\Dir" + std::to_string(i / 100 % kFolders) + "\\";
    const int kind = i % 100;
    Entry entry;
    if (kind < 83) {
      const std::string relative = folder + "File" + n + ".dat";
      Touch(game / HostForm(relative));
      entry = {relative, {(game / HostForm(relative)).string()}};
    } else if (kind < 85) {  // another letter case than on disk
      const std::string relative = folder + "Mixed" + n + ".dat";
      Touch(game / HostForm(relative));
      std::string upper = relative;
      std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
      entry = {upper, {(game / HostForm(relative)).string()}};
    } else if (kind < 90) {
      entry = {folder.substr(0, folder.size() - 1), {(game / HostForm(folder)).string()}};
    } else if (kind < 94) {
      Touch(system32 / ("sys" + n + ".dll"));
      entry = {"&sys" + n + ".dll", {(system32 / ("sys" + n + ".dll")).string()}};
    } else if (kind < 96) {
      const std::string relative = "Loading\\screen" + n + ".dds";
      Touch(game / HostForm(relative));
      entry = {"$" + relative, {(game / HostForm(relative)).string()}};
    } else if (kind < 97) {
      const std::string relative = "Profiles\\p" + n + ".ini";
      Touch(game / HostForm(relative));
      entry = {"£" + relative, {(game / HostForm(relative)).string()}};
    } else if (kind < 98) {  // a switched-off plugin: two lookups
      Touch(game / "Plugins" / ("plug" + n + ".no"));
      entry = {"§Plugins\\plug" + n + ".dll",
               {(game / "Plugins" / ("plug" + n + ".dll")).string(),
                (game / "Plugins" / ("plug" + n + ".no")).string()}};
    } else {
      const std::string relative = folder + "Missing" + n + ".dat";
      entry = {relative, {(game / HostForm(relative)).string()}};
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

int StatPass(const std::vector<Entry>& entries) {
  int found = 0;
  struct stat status;
  for (const Entry& entry : entries) {
    for (const std::string& path : entry.host) {
      if (::stat(path.c_str(), &status) == 0) {
        ++found;
        break;
      }
    }
  }
  return found;
}

struct Run {
  double loop_seconds = 0, analysis_seconds = 0;
  int missing = 0;
};

// One analysis on a fresh platform (its path caches cold), the file loop
// timed on its own, then a whole analysis.
Run AnalysisPass(const fs::path& prefix, const std::vector<Entry>& entries) {
  Run run;
  for (const bool whole : {false, true}) {
    auto os = platform::OpenPlatform({prefix.string()});
    if (!os) throw std::runtime_error(os.error().Message());
    app::HeadlessUi ui;
    app::SimulatedClock clock;
    app::EventLoop loop(clock);
    TForm1 form(**os, ui, loop, {});
    form.InstallFolder = kGame;
    form.ApplyCaptions();
    for (const Entry& entry : entries) form.window.CheckList.push_back({entry.text, false});
    form.window.Gauge1.max = static_cast<int>(entries.size()) - 1;
    const auto start = std::chrono::steady_clock::now();
    if (whole) {
      form.SpeedButton1Click(form.window.SpeedButton1);
      run.analysis_seconds = Seconds(std::chrono::steady_clock::now() - start);
    } else {
      form.CheckRequiredEntries();
      run.loop_seconds = Seconds(std::chrono::steady_clock::now() - start);
      run.missing = form.MissingCount;
    }
  }
  return run;
}

}  // namespace

int main() {
  const fs::path prefix =
      fs::temp_directory_path() / ("remedor-bench-analysis-" + std::to_string(::getpid()));
  fs::remove_all(prefix);
  const std::vector<Entry> entries = BuildInstallation(prefix);
  // A folder changed in the last two seconds is listed again for every
  // "missing" answer; an installation is older than that.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));

  double stat_seconds = 1e9, loop_seconds = 1e9, analysis_seconds = 1e9;
  int found = 0, missing = 0;
  StatPass(entries);  // the host's own caches warm, as for every pass below
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    found = StatPass(entries);
    stat_seconds = std::min(stat_seconds, Seconds(std::chrono::steady_clock::now() - start));
    const Run run = AnalysisPass(prefix, entries);
    loop_seconds = std::min(loop_seconds, run.loop_seconds);
    analysis_seconds = std::min(analysis_seconds, run.analysis_seconds);
    missing = run.missing;
  }
  fs::remove_all(prefix);
  if (found + missing != kEntries || missing != kMissing) {
    std::fprintf(stderr, "analysis: %d found by stat, %d missing by the analysis, of %d\n", found,
                 missing, kEntries);
    return 1;
  }
  std::printf(
      "BENCH analysis ratio=%.2f driver_ratio=%.2f seconds=%.3f loop_seconds=%.3f "
      "stat_seconds=%.3f entries=%d missing=%d\n",
      loop_seconds / stat_seconds, analysis_seconds / stat_seconds, analysis_seconds, loop_seconds,
      stat_seconds, kEntries, missing);
  return 0;
}
