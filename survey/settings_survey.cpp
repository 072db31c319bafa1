#include "survey/settings_survey.h"

#include <optional>
#include <string>

#include "app/RemedorMain.h"
#include "components/Profil.h"
#include "components/mRegistry.h"
#include "platform/machine.h"
#include "survey/antivirus.h"
#include "survey/settings_rows.h"

namespace survey {

namespace {

constexpr std::string_view kTimeService = "W32Time";

// Row 25: the "Type" value under Vista or 7, else the time service's state.
void WriteInternetTimeRow(TForm1& form) {
  const bool v7 = IsVistaOrSeven(form.settings.ProductName);
  std::optional<TimeRow> row;
  if (v7) {
    form.mRegistry7->Key = "\\SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters";
    row = TimeRowFromType(form.mRegistry7->ReadValue("Type"));
  }
  if (!row) {
    const platform::ServiceStatus status = form.os.machine().QueryService(kTimeService);
    using Outcome = platform::ServiceStatus::Outcome;
    if (status.outcome == Outcome::kServiceUnopenable) {
      form.ui.ShowMessage(platform::MessageKind::kPlain,
                          "Erreur lors de l'ouverture du service : " + std::string(kTimeService));
    }
    const std::uint32_t state = status.outcome == Outcome::kQueried ? status.current_state : 0;
    row = TimeRowFromServiceState(state, v7);
  }
  WriteTimeRow(form.report, *row);
  if (row->enable_time_button) form.window.bButton8.enabled = true;
}

// The file version of a library when the file exists.
std::optional<std::string> LibraryVersion(TForm1& form, const std::string& path) {
  if (!form.os.files().IsFile(path)) return std::nullopt;
  return FileVersionString(form.os.machine().ReadVersionInfo(path));
}

// A plugin, or its form switched off by the ".no" extension.
std::optional<std::string> PluginVersion(TForm1& form, std::string_view base_name) {
  const std::string stem = form.InstallFolder + "Plugins\\" + std::string(base_name);
  if (auto version = LibraryVersion(form, stem + ".dll")) return version;
  return LibraryVersion(form, stem + ".no");
}

std::optional<std::string> AudioFmodSetting(TForm1& form) {
  const std::string path = form.InstallFolder + "AudioFMOD\\AudioFMOD.ini";
  if (!form.os.files().IsFile(path)) return std::nullopt;
  TProfile& profile = *form.Profile4;
  profile.IniFileName = path;
  profile.Category = "Settings";
  profile.KeyName = "enableFMOD";
  (void)profile.Execute();  // a missing key reads as the default
  return profile.DataString;
}

}  // namespace

std::string GameSetting(TForm1& form, std::string_view key) {
  form.Profile2->KeyName = key;
  (void)form.Profile2->Execute();  // a missing key reads as the default
  return form.Profile2->DataString;
}

void WriteSettingsRows(TForm1& form) {
  AnalysisReport& report = form.report;
  const SurveySettings& settings = form.settings;
  WriteChronoManagerRow(report, settings.ChronoManagerStatus);  // 19
  WriteXSimRow(report, settings.XSimStatus);                    // 20
  WriteSons2010Row(report, settings.Sons2010Version);           // 21
  WriteAudioDatRow(report, settings.AudioDatStatus);            // 22

  form.RefreshProcesses();  // 23
  if (const auto antivirus = AntivirusLine(form.ProcessList)) report.AppendBoth(*antivirus);

  WriteEaxRow(report, settings.ProductName, GameSetting(form, "UseEAX"));  // 24

  WriteInternetTimeRow(form);  // 25

  if (form.os.files().IsFolder(form.InstallFolder + "MAPS\\wRBR")) WriteRbrWorldRow(report);  // 26

  // 27 to 31: the sound libraries, AudioFMOD and the physics plugins.
  for (const char* library : {"fmod.dll", "fmodstudio.dll"}) {
    WriteLibraryVersionRow(report, library, LibraryVersion(form, form.InstallFolder + library));
  }
  WriteAudioFmodRow(report, AudioFmodSetting(form));
  WriteLibraryVersionRow(report, "FixUp.dll", PluginVersion(form, "FixUp"));
  WriteLibraryVersionRow(report, "PhysicsNG.dll", PluginVersion(form, "PhysicsNG"));
}

}  // namespace survey
