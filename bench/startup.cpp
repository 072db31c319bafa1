// Start-up to enabled analysis buttons on the sample machine with a general
// list of 50,000 lines, the new-version check failing at once (a closed local
// port), and the share of that time the check-list job takes.
//   BENCH startup seconds=... checklist_share=...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/headless_session.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

fs::path MakeMachine(const fs::path& where) {
  const std::string command = "python3 '" + std::string(REMEDOR_SOURCE_DIR) +
                              "/tools/make_sample_machine.py' '" + where.string() + "' >/dev/null";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "cannot build the sample machine\n");
    std::exit(1);
  }
  std::ofstream list(where / "drive_c/users/joueur/Downloads/Remedor/FILESLIST.TXT",
                     std::ios::binary | std::ios::app);
  for (int i = 0; i < 50000; ++i) list << "QUORVEL\\Donnees\\fichier_" << i << ".dat\r\n";
  return where;
}

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / "remedor-bench-startup";
  std::vector<double> totals, shares;
  for (int run = 0; run < 3; ++run) {
    fs::remove_all(root);
    MakeMachine(root);
    auto platform = platform::OpenPlatform({root.string()});
    if (!platform) {
      std::fprintf(stderr, "%s\n", platform.error().Message().c_str());
      return 1;
    }
    app::HeadlessSession session(**platform, {});
    const auto start = Clock::now();
    session.RunStartup();
    const double total = Seconds(Clock::now() - start);
    TForm1& form = *session.form;
    if (!form.window.SpeedButton1.enabled || form.window.CheckList.size() < 50000) {
      std::fprintf(stderr, "the start-up did not reach the analysis buttons\n");
      return 1;
    }
    // The check-list job alone, on the same lines, in the same run.
    form.window.CheckList.clear();
    const auto job_start = Clock::now();
    form.CheckListJobWork();
    const double job = Seconds(Clock::now() - job_start);
    totals.push_back(total);
    shares.push_back(job / total);
    session.Finish();
  }
  fs::remove_all(root);
  std::sort(totals.begin(), totals.end());
  std::sort(shares.begin(), shares.end());
  std::printf("BENCH startup seconds=%.3f checklist_share=%.3f\n", totals[1], shares[1]);
  return 0;
}
