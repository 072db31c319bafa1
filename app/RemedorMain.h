// The main window's logic, `TForm1`: it owns everything that lives for the
// whole run (the report, the check list, the process list, the corruption
// lines, the support components, the jobs and the timers) and holds the
// window's event handlers. It draws nothing: the window state is the
// `WindowModel`, rendered by the Win32 window or read by the headless driver.
//
// Each handler gathers what its topic needs (the report, the platform's
// services, the facts of the run, the component instances) and hands it to
// the topic libraries (survey/, analysis/, repairs/), which never see the
// window. Its members live in app/form_*.cpp, one file per concern:
//   app/RemedorMain.cpp           construction, the components, control dispatch, own folder
//   app/form_startup.cpp          FormActivate and the start-up sequence
//   app/form_captions.cpp         the caption sets, the language toggle, key presses
//   app/form_gates.cpp            locating the game folder, the start-up gates
//   app/form_reference_lists.cpp  the reference lines, the check list job, list removal
//   app/form_survey.cpp           the start-up survey, the plugin inventory, the processes
//   app/form_analysis.cpp         the analysis buttons, the checks, the report closing
//   app/form_export.cpp           the results file, the clipboard copy, the help panels
//   app/form_repairs.cpp          the four repairs and the window-reset panel
//   app/form_shutdown.cpp         quit, close, clean-up, destruction
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report.h"
#include "app/background_job.h"
#include "app/command_line.h"
#include "app/event_loop.h"
#include "app/window_model.h"
#include "components/registry_instances.h"
#include "platform/platform.h"
#include "platform/ui.h"
#include "survey/early_settings.h"

class TProfile;
class TBFC_Dir;
class TmGetNewVer;
namespace archive {
class TSevenZip;
class IntegrityCheck;
}  // namespace archive

using analysis::UiLanguage;

// The add-on's registry keys, as chosen at start-up between the two publishers.
struct AddOnKeys {
  std::string InstallPathKey{kSciGamesKeys.install_path};
  std::string InstalledUpdateKey{kSciGamesKeys.installed_update};
  std::string PackSelectionKey{kSciGamesKeys.pack_selection};
  std::string PackVersionsKey{kGameKey};  // the pack versions' key once the registry is read
};

class TForm1 {
 public:
  TForm1(platform::Platform& os, platform::UserInterface& ui, app::EventLoop& loop,
         std::vector<std::string> arguments);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // --- Events (what the window forwards) ---------------------------------
  void FormActivate();                                 // every activation; runs start-up once
  void SpeedButton1Click(const app::Control& sender);  // both analysis buttons
  void SimpleAnalysisClick() { SpeedButton1Click(window.SpeedButton1); }
  void FullAnalysisClick() { SpeedButton1Click(window.SpeedButton4); }
  void SpeedButton2Click();  // Quitter
  void SpeedButton3Click();  // results file
  void CBBoutonGenererClick();
  void ListBox2DblClick();
  void ButtonHelpClick();
  void bButton4Click();
  void Panel3Click();
  void Memo2Click();
  void BoutonCorrigerClick();  // texture-folder repair
  void bButton6Click();        // chronometer manager off
  void bButton7Click();        // shows the window-reset panel
  void bButton8Click();        // Internet time on
  void bButton9Click();        // window reset
  void bButton10Click();       // hides the window-reset panel
  void AloneClick() { window.Alone.checked = !window.Alone.checked; }
  void PubliqueClick() { window.Publique.checked = !window.Publique.checked; }
  void ChampionnatClick() { window.Championnat.checked = !window.Championnat.checked; }
  void LanguageToggleClick();
  void FormKeyDown(int virtual_key, bool shift, bool ctrl, bool alt);
  void Timer1Timer();  // 500 ms: blinking paste instructions
  void Timer2Timer();  // 2000 ms, one shot: hides the copy notice
  // The window is closing (Quitter, the close key, a system shutdown): the
  // clean-up runs, then the system stops.
  void FormClose();
  // The window is destroyed at the end, whatever ended the system.
  void FormDestroy();

  // Dispatches a click on the control of that name, as the window does; a
  // disabled or hidden control (or one inside a hidden panel) ignores it.
  // False when no control of that name takes clicks.
  bool Click(std::string_view control_name);
  bool CanClick(std::string_view control_name);

  // --- Services other parts use ------------------------------------------
  void ProcessPendingEvents() { loop.ProcessPendingEvents(); }
  void StopSystem() { loop.RequestStop(); }
  bool Stopped() const { return loop.StopRequested(); }
  // The system's own folder (of its executable), with its trailing backslash.
  std::string OwnFolder();
  bool RunsFromBuildFolder();
  // Deletes silently the file of that exact name in the own folder, unless it
  // is the build folder; never a folder or a link of that name.
  void DeleteFromOwnFolder(const std::string& name);
  // Deletes from the own folder (not the build folder) the text files the tool
  // brought or wrote: the reference lists it loads or could load, the text
  // files the DataPack extraction wrote, the results file. Nothing else: the
  // tool may sit among the player's own files.
  void DeleteOwnTextFiles();
  // The new-version check's download target, deleted at start-up.
  static constexpr const char* kVersionFile = "C:\\version.txt";
  // RefreshProcesses / IsProcessRunning.
  int RefreshProcesses();
  bool IsProcessRunning(const std::string& exe_name);

  // --- Start-up steps ------------------------------------------------------
  void RunStartupSequence();
  void ReadCommandLine();
  void SetVersionLabel();
  std::string VersionLabel();  // e.g. "8.36.0"
  void ApplyCaptions();        // the caption set of UiLanguage
  void ApplyCaptionSet(UiLanguage set);
  void ApplyLocaleCaptions();  // step 1
  bool SingleRunGate();        // false: another copy runs, the system stops
  bool ControlCentreGate();    // false: the system stops
  bool LocateInstallFolder();
  bool OldLayoutGate();
  void AimAddOnKeys();                      // the registry instances follow `keys`
  void Refuse(const std::string& message);  // a gate's message, then the stop
  void ReadInstalledUpdate();
  void ReadSons2010Version();        // step 13
  void ReadControlCentreSettings();  // step 14
  void LoadReferenceLines();
  void RemoveShippedLists();
  void CheckListJobWork();
  void UpdateGateJobWork();
  void StartIntegrityJob();  // IntegrityJob: finished once the check has published its lines
  void ExtractDataPack();
  void ListDdsFiles();
  void WaitForJobs();
  void WaitForCheckListJob();  // cancels it and waits until it has finished
  void WriteSurvey();          // rows 1 to 37, in both views' orders
  void WritePluginInventory();

  // --- The analysis ----------------------------------------------------------
  void VerifPacks();
  void VerifPackTracks();
  void CheckRequiredEntries();
  void VerifEffects();
  // Waits for IntegrityJob's lines, processing window events.
  void WaitForIntegrityCheck();
  void CloseReport();
  // After the report is closed: offers to put back the missing files the
  // add-on's archives hold (repairs/restore_missing.h).
  void OfferRestore();
  void ApplyHelpTexts();  // the help panel's text, in both languages

  // --- State ---------------------------------------------------------------
  platform::Platform& os;
  platform::UserInterface& ui;
  app::EventLoop& loop;
  app::WindowModel window;
  std::vector<std::string> arguments;  // the tool's own command-line arguments

  UiLanguage language = UiLanguage::kFrench;  // UiLanguage
  app::CommandLineOptions options;
  bool started = false;        // the once-only flag of the start-up sequence
  bool window_closed = false;  // the close (and its clean-up) has run

  std::string InstallFolder;  // always ends with "\"
  std::string InstalledUpdate;
  std::string SupportedUpdate;
  AddOnKeys keys;
  survey::SurveySettings settings;

  analysis::AnalysisReport report;
  std::vector<std::string> ReferenceLines;
  std::vector<std::string> ProcessList;
  std::vector<std::string> CorruptionLines;
  bool CorruptionFound = false;
  std::vector<std::string> dds_listing;  // the DDS files at the game root (step 18)
  // The files the DataPack extraction created in the own folder, by name;
  // the clean-up deletes exactly these.
  std::vector<std::string> data_pack_files;
  std::int32_t MissingCount = 0;
  // The missing entries the restoration may put back, relative to InstallFolder.
  std::vector<std::string> missing_paths;
  std::int32_t SoundTestCount = 0;
  bool process_list_option = false;
  bool analysis_running = false;   // an analysis is under way (it processes events)
  std::string checked_count_text;  // saved for the language switch

  // Caption texts kept for other parts.
  std::string checked_prefix, checked_suffix;
  std::string sound_prefix, sound_suffix;

  app::BackgroundJob CheckListJob{"CheckListJob"};
  app::BackgroundJob UpdateGateJob{"UpdateGateJob"};
  app::BackgroundJob IntegrityJob{"IntegrityJob"};
  int Timer1 = -1;  // blink
  int Timer2 = -1;  // copy notice

  // Support components, as configured on the window.
  std::unique_ptr<TmRegistry> mRegistry1, mRegistry2, mRegistry3, mRegistry4, mRegistry5,
      mRegistry6, mRegistry7, mRegistry8, mRegistry10, mRegistry11, Autoremove;
  std::unique_ptr<TProfile> Profile1, Profile2, Profile3, Profile4;
  std::unique_ptr<TBFC_Dir> BFC_Dir1, BFC_Dir2, BFC_Dir3, BFC_Dir4, BFC_Dir5;
  std::unique_ptr<archive::TSevenZip> SevenZip1;
  std::unique_ptr<TmGetNewVer> GetNewVer1;
  // The integrity check of IntegrityJob (Profile1, BFC_Dir4, CorruptionLines).
  std::unique_ptr<archive::IntegrityCheck> integrity;
};
