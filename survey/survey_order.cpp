// The start-up survey in both views' orders: every row appends its screen
// line, then its forum line, so the rows that write to one view only (14, 17,
// 33 to 36) make the two views differ in order and length.
#include <string>

#include "app/RemedorMain.h"
#include "components/mRegistry.h"
#include "survey/ini_copy.h"
#include "survey/machine_rows.h"
#include "survey/process_rows.h"
#include "survey/settings_survey.h"

namespace {

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

  // Rows 1 to 13: versions and the machine.
  SupportedUpdate = survey::SupportedUpdateFromLines(ReferenceLines);
  survey::WriteVersionRows(report, VersionLabel(), InstalledUpdate, SupportedUpdate);
  survey::WriteProcessorRow(report, machine.ProcessorBrand(), machine.PhysicalCores());
  survey::WriteMemoryRow(report, machine.QueryMemory(), separator);
  const platform::ScreenSize screen = machine.PrimaryScreen();
  survey::WriteDisplayRows(report, machine.DisplayDevice0(), machine.MonitorCount(), screen);
  const std::string x_res = survey::GameSetting(*this, "XRes");
  const std::string y_res = survey::GameSetting(*this, "YRes");
  survey::WriteGameResolutionRows(report, x_res, y_res, screen);
  const auto disk = os.files().GetDiskFreeSpace(InstallFolder.substr(0, 3));
  survey::WriteDiskRow(report, disk, separator);
  // Row 14, screen only.
  report.AppendScreen(survey::ProcessCountScreenLine(RefreshProcesses()));

  // Rows 15 to 18: the operating system, the folder (forum only), the account.
  const survey::OperatingSystemFacts system = ReadOperatingSystem(*this);
  settings.ProductName = system.product_name;
  survey::WriteOperatingSystemRows(report, system);
  report.AppendForum(survey::InstallFolderLine(InstallFolder));
  survey::WriteAccountRow(report, machine.IsAdministrator());

  // Rows 19 to 31: the game's, the add-on's and the control centre's settings.
  survey::WriteSettingsRows(*this);

  // Rows 32 to 36: the closing lines, the screen's first, then the forum's
  // process count from a second refresh.
  report.AppendBoth("OS : " + settings.ProductName);
  report.AppendScreen(survey::InstallFolderLine(InstallFolder));
  report.AppendScreen(analysis::Rule());
  report.AppendForum(survey::ProcessCountForumLine(RefreshProcesses()));
  report.AppendForum(analysis::Rule());

  // Row 37.
  if (!options.NoIniDump) survey::WriteIniCopy(report, os.files(), InstallFolder);
}
