// TForm1's analysis: the two analysis buttons run the checks in order, the
// window following them (gauges, ticks, panels, buttons), then the report is
// closed and put on the clipboard.
#include <algorithm>
#include <cstdint>

#include "analysis/analysis_run.h"
#include "analysis/car_packs.h"
#include "analysis/required_files.h"
#include "analysis/sound_config.h"
#include "app/RemedorMain.h"
#include "archive/integrity.h"
#include "components/Profil.h"
#include "repairs/restore_missing.h"

namespace {

// How long the wait for the digests lets pass between two looks at the
// window's events, and the steps of the analysis gauge while it waits.
constexpr std::int64_t kDigestWaitStepMs = 10;
constexpr int kHashingGaugeSteps = 1000;

}  // namespace

void TForm1::SpeedButton1Click(const app::Control& sender) {
  // The run lets window events in while it works: a click on either analysis
  // button meanwhile finds one already running and does nothing.
  if (analysis_running) return;
  analysis_running = true;
  struct Ended {
    bool& running;
    ~Ended() { running = false; }
  } ended{analysis_running};

  if (&sender == &window.SpeedButton4) {
    process_list_option = true;
    window.CheckBoxProcesses.checked = true;
  }
  report.ProblemCount = 0;
  if (!os.files().IsFile(InstallFolder + std::string(analysis::kPackConfigFile))) {
    ui.ShowMessage(platform::MessageKind::kPlain, "Ne peut ouvrir le fichier Config_P.ini");
    return;
  }
  VerifPacks();
  VerifPackTracks();
  report.AppendBoth(analysis::Rule());
  window.PanelSummary.visible = false;
  window.Gauge1.max = static_cast<int>(window.CheckList.size()) - 1;
  CheckRequiredEntries();
  VerifEffects();
  analysis::WriteMissingTotals(report, MissingCount);
  analysis::WriteDdsSection(report, dds_listing);
  analysis::WriteProtectedFolderSection(report, settings.product_name, InstallFolder,
                                        os.machine().WindowsFolder());
  if (analysis::WriteTextureFolderSection(report, *BFC_Dir1, InstallFolder)) {
    window.BoutonCorriger.enabled = true;
  }
  WaitForIntegrityCheck();
  if (Stopped()) return;  // the window was closed during the wait
  if (analysis::WriteCorruptionSection(report, CorruptionLines)) CorruptionFound = true;
  if (process_list_option) analysis::WriteProcessSection(report, os.machine(), ProcessList);
  CloseReport();
  if (window.CBBoutonGenerer.checked) window.SpeedButton3.enabled = true;
  if (settings.ChronoManagerStatus == survey::kActive) window.bButton6.enabled = true;
  window.SpeedButton1.enabled = false;
  window.SpeedButton4.enabled = false;
  OfferRestore();
}

void TForm1::WaitForIntegrityCheck() {
  if (!IntegrityJob.Started() || IntegrityJob.Finished()) return;
  // The digests are computed beside this thread: the report waits for their
  // final lines rather than reporting none while they are still being
  // computed, the window live meanwhile, its analysis gauge showing the hashing.
  app::Gauge& gauge = window.Gauge1;
  const int checked_max = gauge.max;
  const int checked_position = gauge.position;
  gauge.max = kHashingGaugeSteps;
  while (!IntegrityJob.Finished() && !Stopped()) {
    const archive::IntegrityCheck::Progress progress = integrity->HashingProgress();
    gauge.position = progress.total == 0
                         ? 0
                         : static_cast<int>(std::min(progress.hashed, progress.total) *
                                            kHashingGaugeSteps / progress.total);
    loop.SleepAndProcess(kDigestWaitStepMs);
  }
  gauge.max = checked_max;
  gauge.position = checked_position;
}

void TForm1::VerifPacks() {
  analysis::VerifPacks(report, *Profile3, *mRegistry6, InstallFolder, ui,
                       [this] { ProcessPendingEvents(); });
}

void TForm1::VerifPackTracks() { analysis::VerifPackTracks(report, *mRegistry10); }

void TForm1::CheckRequiredEntries() {
  std::vector<std::string_view> entries;
  entries.reserve(window.CheckList.size());
  for (const app::CheckListItem& item : window.CheckList) entries.push_back(item.text);
  missing_paths.clear();
  const auto checked = [this, &entries](std::size_t index, bool missing) {
    if (missing) {
      window.CheckList[index].ticked = true;
      if (auto path = repairs::RestorableEntryPath(entries[index])) {
        missing_paths.push_back(std::move(*path));
      }
    }
    window.Gauge1.StepIt();
  };
  analysis::CheckRequiredEntries(report, os.files(), InstallFolder, os.machine().WindowsFolder(),
                                 entries, MissingCount, checked);
}

void TForm1::VerifEffects() {
  const std::vector<analysis::SoundConfigFile> configs =
      analysis::ListSoundConfigFiles(*BFC_Dir5, InstallFolder);
  window.Gauge2.position = 0;
  window.Gauge2.max = static_cast<int>(configs.size());
  ProcessPendingEvents();
  SoundTestCount = 0;
  for (const analysis::SoundConfigFile& config : configs) {
    analysis::CheckSoundConfigFile(
        report, os.files(), InstallFolder, config, {SoundTestCount, MissingCount},
        [this] { window.Gauge2.StepIt(); }, [this] { ProcessPendingEvents(); });
  }
  window.Gauge2.caption = sound_prefix + std::to_string(SoundTestCount) + sound_suffix;
}

void TForm1::CloseReport() {
  platform::Machine& machine = os.machine();
  analysis::CloseReport(report, machine.Now(), machine.UserLocale());

  checked_count_text = std::to_string(window.CheckList.size());
  window.LabelChecked.caption = checked_prefix + checked_count_text + checked_suffix;
  const analysis::SummaryTexts summary = analysis::RenderSummary(report.ProblemCount, language);
  window.LabelHeadline.caption = summary.headline;
  window.LabelDetail.caption = summary.detail;
  const bool clean = report.ProblemCount <= 0;
  window.summary_scheme = clean ? app::SummaryScheme::kGreen : app::SummaryScheme::kRed;
  window.AnimationClean.visible = clean;
  window.AnimationProblem.visible = !clean;

  window.PanelSummary.visible = true;
  ui.SetClipboardText(report.ForumText);

  window.paste_inverted = false;  // red on white first
  loop.SetTimerEnabled(Timer1, true);
}

void TForm1::Timer1Timer() { window.paste_inverted = !window.paste_inverted; }
