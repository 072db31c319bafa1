#include "survey/survey_run.h"

#include <optional>

#include "components/registry_instances.h"
#include "survey/antivirus.h"
#include "survey/ini_copy.h"
#include "survey/machine_rows.h"
#include "survey/processes.h"
#include "survey/settings_rows.h"

namespace survey {

namespace {

constexpr std::string_view kTimeService = "W32Time";

// A key of the "Settings" section of the game's INI file ("0" when the key or
// the file is missing).
std::string GameSetting(TProfile& game_settings, std::string_view key) {
  game_settings.KeyName = key;
  (void)game_settings.Execute();  // a missing key reads as the default
  return game_settings.DataString;
}

OperatingSystemFacts ReadOperatingSystem(const SurveySources& sources) {
  OperatingSystemFacts facts;
  facts.product_name = sources.version_key.ReadValue("ProductName");
  facts.build_label = sources.version_key.ReadValue("BuildLabEx");
  facts.service_pack = sources.machine.ServicePack();
  facts.xp64 = sources.machine.IsWindowsXp64();
  return facts;
}

// Row 25: the "Type" value under Vista or 7, else the time service's state.
TimeRow InternetTimeRow(const SurveySources& sources, std::string_view product_name) {
  const bool v7 = IsVistaOrSeven(product_name);
  if (v7) {
    sources.time_service.Key = std::string(kTimeServiceKey);
    if (auto row = TimeRowFromType(sources.time_service.ReadValue("Type"))) return *row;
  }
  const platform::ServiceStatus status = sources.machine.QueryService(kTimeService);
  using Outcome = platform::ServiceStatus::Outcome;
  if (status.outcome == Outcome::kServiceUnopenable) {
    sources.ui.ShowMessage(platform::MessageKind::kPlain,
                           "Erreur lors de l'ouverture du service : " + std::string(kTimeService));
  }
  const std::uint32_t state = status.outcome == Outcome::kQueried ? status.current_state : 0;
  return TimeRowFromServiceState(state, v7);
}

// The file version of a library when the file exists.
std::optional<std::string> LibraryVersion(const SurveySources& sources, const std::string& path) {
  if (!sources.files.IsFile(path)) return std::nullopt;
  return FileVersionString(sources.machine.ReadVersionInfo(path));
}

// A plugin, or its form switched off by the ".no" extension.
std::optional<std::string> PluginVersion(const SurveySources& sources,
                                         const std::string& install_folder,
                                         std::string_view base_name) {
  const std::string stem = install_folder + "Plugins\\" + std::string(base_name);
  if (auto version = LibraryVersion(sources, stem + ".dll")) return version;
  return LibraryVersion(sources, stem + ".no");
}

std::optional<std::string> AudioFmodSetting(const SurveySources& sources,
                                            const std::string& install_folder) {
  const std::string path = install_folder + "AudioFMOD\\AudioFMOD.ini";
  if (!sources.files.IsFile(path)) return std::nullopt;
  TProfile& profile = sources.fmod_settings;
  profile.IniFileName = path;
  profile.Category = "Settings";
  profile.KeyName = "enableFMOD";
  (void)profile.Execute();  // a missing key reads as empty
  return profile.DataString;
}

// Rows 19 to 31: the game's, the add-on's and the control centre's settings.
// True when row 25 found Internet time off.
bool WriteSettingsRows(const SurveySources& sources, const std::string& install_folder,
                       const SurveySettings& settings, std::vector<std::string>& process_list,
                       analysis::AnalysisReport& report) {
  WriteChronoManagerRow(report, settings.ChronoManagerStatus);  // 19
  WriteXSimRow(report, settings.x_sim_status);                  // 20
  WriteSons2010Row(report, settings.sons2010_version);          // 21
  WriteAudioDatRow(report, settings.audio_dat_status);          // 22

  RefreshProcesses(sources.machine, process_list);  // 23
  if (const auto antivirus = AntivirusLine(process_list)) report.AppendBoth(*antivirus);

  WriteEaxRow(report, settings.product_name, GameSetting(sources.game_settings, "UseEAX"));  // 24

  const TimeRow time_row = InternetTimeRow(sources, settings.product_name);  // 25
  WriteTimeRow(report, time_row);

  if (sources.files.IsFolder(install_folder + "MAPS\\wRBR")) WriteRbrWorldRow(report);  // 26

  // 27 to 31: the sound libraries, AudioFMOD and the physics plugins.
  for (const char* library : {"fmod.dll", "fmodstudio.dll"}) {
    WriteLibraryVersionRow(report, library, LibraryVersion(sources, install_folder + library));
  }
  WriteAudioFmodRow(report, AudioFmodSetting(sources, install_folder));
  WriteLibraryVersionRow(report, "FixUp.dll", PluginVersion(sources, install_folder, "FixUp"));
  WriteLibraryVersionRow(report, "PhysicsNG.dll",
                         PluginVersion(sources, install_folder, "PhysicsNG"));
  return time_row.enable_time_button;
}

}  // namespace

bool WriteSurvey(const SurveySources& sources, const SurveyFacts& facts, SurveySettings& settings,
                 std::vector<std::string>& process_list, analysis::AnalysisReport& report) {
  platform::Machine& machine = sources.machine;
  platform::FileSystem& files = sources.files;
  const std::string& install_folder = facts.InstallFolder;
  const std::string separator = machine.UserLocale().decimal_separator;

  // Rows 1 to 13: versions and the machine.
  WriteVersionRows(report, facts.version_label, facts.InstalledUpdate, facts.SupportedUpdate);
  WriteProcessorRow(report, machine.ProcessorBrand(), machine.PhysicalCores());
  WriteMemoryRow(report, machine.QueryMemory(), separator);
  const platform::ScreenSize screen = machine.PrimaryScreen();
  WriteDisplayRows(report, machine.DisplayDevice0(), machine.MonitorCount(), screen);
  const std::string x_res = GameSetting(sources.game_settings, "XRes");
  const std::string y_res = GameSetting(sources.game_settings, "YRes");
  WriteGameResolutionRows(report, x_res, y_res, screen);
  WriteDiskRow(report, files.GetDiskFreeSpace(install_folder.substr(0, 3)), separator);
  // Row 14, screen only.
  report.AppendScreen(ProcessCountScreenLine(RefreshProcesses(machine, process_list)));

  // Rows 15 to 18: the operating system, the folder (forum only), the account.
  const OperatingSystemFacts system = ReadOperatingSystem(sources);
  settings.product_name = system.product_name;
  WriteOperatingSystemRows(report, system);
  report.AppendForum(InstallFolderLine(install_folder));
  WriteAccountRow(report, machine.IsAdministrator());

  // Rows 19 to 31.
  const bool internet_time_off =
      WriteSettingsRows(sources, install_folder, settings, process_list, report);

  // Rows 32 to 36: the closing lines, the screen's first, then the forum's
  // process count from a second refresh.
  report.AppendBoth("OS : " + settings.product_name);
  report.AppendScreen(InstallFolderLine(install_folder));
  report.AppendScreen(analysis::Rule());
  report.AppendForum(ProcessCountForumLine(RefreshProcesses(machine, process_list)));
  report.AppendForum(analysis::Rule());

  // Row 37.
  if (!facts.NoIniDump) WriteIniCopy(report, files, install_folder);
  return internet_time_off;
}

}  // namespace survey
