// TForm1's survey: the start-up survey and the plugin inventory (steps 13, 14
// and 17), and the running processes the survey, the gates and the analysis
// look at.
#include "app/RemedorMain.h"
#include "app/reference_lists.h"
#include "survey/plugin_inventory.h"
#include "survey/processes.h"
#include "survey/survey_run.h"

void TForm1::WriteSurvey() {
  SupportedUpdate = app::SupportedUpdateOf(ReferenceLines);
  const survey::SurveySources sources{
      .machine = os.machine(),
      .files = os.files(),
      .ui = ui,
      .game_settings = *Profile2,
      .fmod_settings = *Profile4,
      .version_key = *mRegistry11,
      .time_service = *mRegistry7,
  };
  const survey::SurveyFacts facts{
      .version_label = VersionLabel(),
      .InstalledUpdate = InstalledUpdate,
      .SupportedUpdate = SupportedUpdate,
      .InstallFolder = InstallFolder,
      .NoIniDump = options.NoIniDump,
  };
  if (survey::WriteSurvey(sources, facts, settings, ProcessList, report)) {
    window.bButton8.enabled = true;  // Internet time is off: the repair applies
  }
}

void TForm1::WritePluginInventory() {
  survey::WritePluginInventory(report, os.files(), InstallFolder);
}

int TForm1::RefreshProcesses() { return survey::RefreshProcesses(os.machine(), ProcessList); }

bool TForm1::IsProcessRunning(const std::string& exe_name) {
  return survey::IsProcessRunning(os.machine(), exe_name);
}
