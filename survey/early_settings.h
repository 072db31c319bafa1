// The settings read early in the start-up and kept for the run: the control
// centre's chronometer manager, last profile and X-Sim option, the audio.dat
// status and the 2010 sounds (steps 13 and 14), and the operating system's
// product name (the survey's row 15).
#pragma once

#include <string>
#include <string_view>

#include "components/mRegistry.h"
#include "platform/files.h"
#include "survey/settings_rows.h"

namespace survey {

struct SurveySettings {
  std::string ChronoManagerStatus{kChronoInactive};  // kActive or kChronoInactive
  std::string LastProfileName;
  std::string x_sim_status{kXSimInactive};        // kActive or kXSimInactive
  std::string audio_dat_status{kAudioDatAbsent};  // kAudioDatPresent or kAudioDatAbsent
  std::string sons2010_version;
  std::string product_name;  // the operating system's product name
};

// Step 14: the control centre's settings through `registry` (mRegistry5,
// re-aimed below its settings area) and the audio.dat status of the game folder.
void ReadControlCentreSettings(TmRegistry& registry, platform::FileSystem& files,
                               std::string_view install_folder, SurveySettings& settings);

}  // namespace survey
