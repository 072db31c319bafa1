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
  const survey::SurveySources sources{os, ui, *Profile2, *Profile4, *mRegistry11, *mRegistry7};
  const survey::SurveyFacts facts{VersionLabel(), InstalledUpdate, SupportedUpdate, InstallFolder,
                                  options.NoIniDump};
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
