// TForm1's restoration of missing files: once the analysis has closed its
// report, the missing entries the add-on's archives hold are offered back.
// The report, the forum text and the problem count stay as they were.
#include "app/RemedorMain.h"
#include "archive/integrity.h"
#include "repairs/restore_missing.h"

namespace {

// The analysis gauge's scale while the restoration moves it.
constexpr int kGaugeSteps = 1000;

}  // namespace

void TForm1::OfferRestore() {
  if (missing_paths.empty()) return;
  const std::vector<std::string> archives = repairs::SourceArchives(
      os.files(), InstallFolder, archive::CorruptArchiveNames(CorruptionLines));
  if (archives.empty()) return;

  const int gauge_position = window.Gauge1.position;
  const int gauge_max = window.Gauge1.max;
  const auto show_progress = [this](std::uint64_t done, std::uint64_t total) {
    window.Gauge1.max = kGaugeSteps;
    window.Gauge1.position =
        total == 0 ? kGaugeSteps : static_cast<int>(done * kGaugeSteps / total);
    ProcessPendingEvents();
  };
  const repairs::RestoreIndex index = repairs::BuildRestoreIndex(
      *SevenZip1, InstallFolder, archives,
      [&](std::size_t done, std::size_t total) { show_progress(done, total); });
  const repairs::RestorePlan plan =
      repairs::PlanRestore(index, os.files(), InstallFolder, missing_paths);
  window.Gauge1.max = gauge_max;
  window.Gauge1.position = gauge_position;
  if (plan.files.empty() || Stopped()) return;

  if (ui.ShowMessage(platform::MessageKind::kConfirmation, repairs::RestoreOfferText(plan)) !=
      platform::MessageAnswer::kYes) {
    return;
  }
  const repairs::RestoreOutcome outcome =
      repairs::RunRestore(*SevenZip1, os.files(), InstallFolder, plan, show_progress);
  window.Gauge1.max = gauge_max;
  window.Gauge1.position = gauge_position;
  ui.ShowMessage(platform::MessageKind::kInformation, repairs::RestoreOutcomeText(outcome));
}
