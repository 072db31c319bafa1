// The start-up survey in both views' orders: every row appends its screen
// line, then its forum line, so the rows that write to one view only (14, 17,
// 33 to 36) make the two views differ in order and length.
#include <string>

#include "app/RemedorMain.h"
#include "components/Profil.h"
#include "components/mRegistry.h"
#include "survey/ini_copy.h"
#include "survey/machine_rows.h"
#include "survey/process_rows.h"
#include "survey/settings_survey.h"

namespace {

// A key of the game's INI file's "Settings" section ("0" when missing).
std::string GameSetting(TProfile& profile, const std::string& key) {
  profile.KeyName = key;
  profile.Execute();
  return profile.DataString;
}

survey::OperatingSystemFacts ReadOperatingSystem(TForm1& form) {
  TmRegistry& version_key = *form.mRegistry11;
  survey::OperatingSystemFacts facts;
  facts.product_name = version_key.ReadValue("ProductName");
  facts.build_label = version_key.ReadValue("BuildLabEx");
  facts.service_pack = form.os.machine().ServicePack();
  facts.xp64 = form.os.machine().IsWindowsXp64();
  return facts;
}

}  // namespace

void TForm1::WriteSurvey() {
  platform::Machine& machine = os.machine();
  const std::string separator = machine.UserLocale().decimal_separator;

  SupportedUpdate = survey::SupportedUpdateFromLines(ReferenceLines);
  survey::WriteVersionRows(report, VersionLabel(), InstalledUpdate,
                           SupportedUpdate);  // 1-5
  survey::WriteProcessorRow(report, machine.ProcessorBrand(), machine.PhysicalCores());
  survey::WriteMemoryRow(report, machine.QueryMemory(), separator);
  const platform::ScreenSize screen = machine.PrimaryScreen();
  survey::WriteDisplayRows(report, machine.DisplayDevice0(), machine.MonitorCount(), screen);
  survey::WriteGameResolutionRows(report, GameSetting(*Profile2, "XRes"),
                                  GameSetting(*Profile2, "YRes"),
                                  screen);  // 11-12
  survey::WriteDiskRow(report, os.files().GetDiskFreeSpace(InstallFolder.substr(0, 3)),
                       separator);                                          // 13
  report.AppendScreen(survey::ProcessCountScreenLine(RefreshProcesses()));  // 14

  const survey::OperatingSystemFacts system = ReadOperatingSystem(*this);
  settings.ProductName = system.product_name;
  survey::WriteOperatingSystemRows(report, system);                                 // 15-16
  report.AppendForum(survey::InstallFolderLine(InstallFolder));                     // 17
  survey::WriteAccountRow(report, machine.IsAdministrator());                       // 18
  survey::WriteSettingsRows(*this);                                                 // 19-31
  report.AppendBoth("OS : " + settings.ProductName);                                // 32
  report.AppendScreen(survey::InstallFolderLine(InstallFolder));                    // 33
  report.AppendScreen(analysis::Rule());                                            // 34
  report.AppendForum(survey::ProcessCountForumLine(RefreshProcesses()));            // 35
  report.AppendForum(analysis::Rule());                                             // 36
  if (!options.NoIniDump) survey::WriteIniCopy(report, os.files(), InstallFolder);  // 37
}
