// TForm1's start-up: the sequence run once at the first activation of the
// main window, and the steps of it that belong to no other concern.
#include "analysis/analysis_run.h"
#include "app/RemedorMain.h"
#include "archive/datapack.h"
#include "archive/integrity.h"
#include "components/Profil.h"
#include "components/mGetNewVer.h"
#include "runtime/errors.h"

void TForm1::FormActivate() {
  if (started) return;
  started = true;  // later activations (a message box closing, ...) do nothing
  loop.RunHandler([this] { RunStartupSequence(); });
}

std::string TForm1::VersionLabel() {
  const auto info = os.machine().ReadVersionInfo(os.machine().SelfExecutable());
  if (!info || !info->file_version) {
    throw runtime::Failure("Les informations de version de sont pas inclues");
  }
  const std::string full = info->DottedFileVersion();
  return full.substr(0, full.rfind('.'));
}

void TForm1::SetVersionLabel() { window.LabelVersion.caption = VersionLabel(); }

void TForm1::ReadCommandLine() {
  const app::ParsedCommandLine parsed = app::ParseCommandLine(arguments);
  options = parsed.options;
  if (parsed.show_help) window.Panel3.visible = true;
}

void TForm1::ReadSons2010Version() { settings.sons2010_version = mRegistry4->ReadValue("Version"); }

void TForm1::ReadControlCentreSettings() {
  survey::ReadControlCentreSettings(*mRegistry5, os.files(), InstallFolder, settings);
}

void TForm1::ListDdsFiles() { dds_listing = analysis::ListDdsFiles(os.files(), InstallFolder); }

void TForm1::ExtractDataPack() {
  data_pack_files = archive::ExtractDataPack(*SevenZip1, InstallFolder, OwnFolder());
}

void TForm1::StartIntegrityJob() {
  IntegrityJob.StartDeferred(loop, [this](std::function<void()> done) {
    integrity->Start(
        {InstallFolder, OwnFolder(), os.machine().BuildFolder()},
        [this](std::function<void()> task) { loop.Post(std::move(task)); }, std::move(done));
  });
}

void TForm1::WaitForJobs() {
  if (CheckListJob.Finished()) return;
  while (!CheckListJob.Finished() && !UpdateGateJob.Finished() && !IntegrityJob.Finished() &&
         !Stopped()) {
    loop.SleepAndProcess(10);
  }
}

void TForm1::RunStartupSequence() {
  platform::FileSystem& files = os.files();
  ApplyLocaleCaptions();  // 1
  ApplyCaptions();        // 2: the toggle starts released, so French in the end
  window.Gauge1.position = window.Gauge2.position = 0;  // 3
  window.Place(window.Panel1);
  ReadCommandLine();  // 4
  // Before anything is deleted: another copy may be using it.
  if (!SingleRunGate()) return;
  if (files.Exists(kVersionFile)) (void)files.RemoveFile(kVersionFile);  // 5
  GetNewVer1->CheckNewVersion();  // 6: reports on its own, later
  ProcessPendingEvents();
  if (Stopped()) return;
  for (app::Control* panel :
       {&window.Panel3, &window.PanelHelp, &window.PanelSummary, &window.PanelInit}) {
    window.Place(*panel);  // 7
  }
  SetVersionLabel();                // 8
  window.PanelInit.visible = true;  // 9
  ProcessPendingEvents();
  if (Stopped()) return;
  if (!ControlCentreGate() || !LocateInstallFolder() || !OldLayoutGate()) return;  // 10-12
  Profile2->IniFileName = InstallFolder + "RichardBurnsRally.ini";                 // 13
  ReadInstalledUpdate();
  ReadSons2010Version();
  window.LabelInstallFolder.caption = "Richard Burns Rally est installé dans : " + InstallFolder;
  ProcessPendingEvents();
  window.cursor = app::Cursor::kBusy;
  if (Stopped()) return;
  ReadControlCentreSettings();  // 14
  LoadReferenceLines();         // 15
  ExtractDataPack();            // 16
  RemoveShippedLists();
  if (Stopped()) return;
  // 17. The jobs' work runs only when pending events are processed, which the
  // survey does after its first row (the tool version).
  CheckListJob.Start(loop, [this] { CheckListJobWork(); });
  UpdateGateJob.Start(loop, [this] { UpdateGateJobWork(); });
  StartIntegrityJob();
  WriteSurvey();
  if (Stopped()) return;
  WritePluginInventory();
  if (Stopped()) return;
  ListDdsFiles();  // 18
  WaitForJobs();   // 19
  if (Stopped()) return;
  window.PanelInit.visible = false;  // 20
  window.SpeedButton1.enabled = window.SpeedButton4.enabled = true;
  window.cursor = app::Cursor::kArrow;
}
