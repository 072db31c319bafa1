// How long the user-interface thread goes without processing pending window
// events: from the first activation of the window, through a full analysis
// clicked as soon as the start-up enables it, on the sample machine with
// 1 GiB of archives still to hash (four 256 MiB archives, sparse on disk: the
// hashing's cost is the digest's own). The window's event pump is what
// ProcessPendingEvents calls first; the gaps between its calls are measured
// on the real clock, best of three runs.
//   BENCH ui_stall max_ms=<whole run> startup_max_ms=<start-up alone> ...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/RemedorMain.h"
#include "app/event_loop.h"
#include "app/headless_ui.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kArchives[][8] = {"QDCD.7z", "qdcw.7z", "qdf1.7z", "qdf2.7z"};
constexpr std::uintmax_t kArchiveSize = 256u << 20;

void MakeMachine(const fs::path& where) {
  const std::string command = "python3 '" + std::string(REMEDOR_SOURCE_DIR) +
                              "/tools/make_sample_machine.py' '" + where.string() + "' >/dev/null";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "cannot build the sample machine\n");
    std::exit(1);
  }
  const fs::path addon = where / "drive_c/Games/Richard Burns Rally/QUORVEL";
  // The digests the add-on publishes (none matches: every archive is hashed
  // to its end and reported).
  std::ofstream list(where / "drive_c/users/joueur/Downloads/Remedor/qdm.ini", std::ios::binary);
  list << "[MD5]\r\n";
  for (const char* name : kArchives) {
    std::ofstream(addon / name, std::ios::binary).close();
    fs::resize_file(addon / name, kArchiveSize);
    list << name << "=0123456789abcdef0123456789abcdef\r\n";
  }
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The longest time between two calls of the pump, counting the run's start and end.
class GapMeter {
 public:
  void Start() {
    last_ = Clock::now();
    longest_ = {};
  }
  void Pump() {
    const auto now = Clock::now();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
  }
  double LongestMs() {
    Pump();
    return Ms(longest_);
  }

 private:
  Clock::time_point last_;
  Clock::duration longest_{};
};

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / "remedor-bench-ui-stall";
  double startup_ms = 1e9, whole_ms = 1e9, analysis_s = 0;
  std::size_t corrupt = 0;
  for (int run = 0; run < 3; ++run) {
    fs::remove_all(root);
    MakeMachine(root);
    auto os = platform::OpenPlatform({root.string()});
    if (!os) {
      std::fprintf(stderr, "%s\n", os.error().Message().c_str());
      return 1;
    }
    app::SteadyClock clock;
    app::EventLoop loop(clock);
    app::HeadlessUi ui;
    const std::string exe = (*os)->machine().SelfExecutable();
    (void)(*os)->files().SetCurrentDirectory(exe.substr(0, exe.find_last_of('\\') + 1));
    TForm1 form(**os, ui, loop, {});
    GapMeter meter;
    loop.SetPlatformPump([&] { meter.Pump(); });

    meter.Start();
    form.FormActivate();
    startup_ms = std::min(startup_ms, meter.LongestMs());
    if (!form.window.SpeedButton4.enabled || form.IntegrityJob.Finished()) {
      std::fprintf(stderr, "the start-up did not leave the hashing under way\n");
      return 1;
    }
    const auto analysis_start = Clock::now();
    form.Click("SpeedButton4");
    whole_ms = std::min(whole_ms, meter.LongestMs());
    analysis_s = std::chrono::duration<double>(Clock::now() - analysis_start).count();
    corrupt = form.CorruptionLines.size();
    loop.SetPlatformPump(nullptr);
  }
  fs::remove_all(root);
  if (corrupt != std::size(kArchives) + 1) {  // every archive, and the sample's library
    std::fprintf(stderr, "ui_stall: %zu corruption lines\n", corrupt);
    return 1;
  }
  std::printf("BENCH ui_stall max_ms=%.1f startup_max_ms=%.1f analysis_s=%.2f\n", whole_ms,
              startup_ms, analysis_s);
  return 0;
}
