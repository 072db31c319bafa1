// The start-up survey, rows 1 to 37 of the report, in both views' orders:
// every row appends its screen line, then its forum line, so the rows that
// write to one view only (14, 17, 33 to 36) make the two views differ in order
// and length. What each row reads is gathered here; the rows' texts are
// machine_rows, settings_rows and ini_copy.
#pragma once

#include <string>
#include <vector>

#include "analysis/report.h"
#include "components/Profil.h"
#include "components/mRegistry.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/ui.h"
#include "survey/early_settings.h"

namespace survey {

// Where the survey reads: the machine's services and the window's component
// instances, aimed as the start-up left them.
struct SurveySources {
  platform::Machine& machine;
  platform::FileSystem& files;
  platform::UserInterface& ui;  // the time service's one message box
  TProfile& game_settings;      // Profile2, on the game's INI file
  TProfile& fmod_settings;      // Profile4
  TmRegistry& version_key;      // mRegistry11, the system's version key
  TmRegistry& time_service;     // mRegistry7
};

// What the start-up knows before the survey.
struct SurveyFacts {
  std::string version_label;  // the tool's, e.g. "8.36.0"
  std::string InstalledUpdate;
  std::string SupportedUpdate;
  std::string InstallFolder;
  bool NoIniDump = false;
};

// Writes rows 1 to 37. On the way, row 15 sets `settings.product_name` and
// rows 14, 23 and 35 refresh `process_list` (ProcessList). True when row 25
// found Internet time off: the Internet-time button becomes usable.
bool WriteSurvey(const SurveySources& sources, const SurveyFacts& facts, SurveySettings& settings,
                 std::vector<std::string>& process_list, analysis::AnalysisReport& report);

}  // namespace survey
