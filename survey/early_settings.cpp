#include "survey/early_settings.h"

namespace survey {

namespace {

constexpr std::string_view kSettingsArea = "\\Software\\VB and VBA Program Settings\\";

// A value of the control centre's settings key `key` (below the settings area).
std::string ControlCentreValue(TmRegistry& registry, std::string_view key, std::string_view name) {
  registry.Key = std::string(kSettingsArea) + std::string(key);
  return registry.ReadValue(std::string(name));
}

std::string LastProfile(TmRegistry& registry) {
  return ControlCentreValue(registry, "Corvane\\LastProfil", "Profil");
}

std::string ProfileKey(std::string_view profile) {
  return "Corvane\\" + std::string(profile) + " Settings";
}

}  // namespace

void ReadControlCentreSettings(TmRegistry& registry, platform::FileSystem& files,
                               std::string_view install_folder, SurveySettings& settings) {
  // Either the guest settings or the last profile's switch the manager on.
  settings.ChronoManagerStatus = std::string(kChronoInactive);
  if (ControlCentreValue(registry, "Corvane2015\\guest Settings", "UseChronoManager") == "1") {
    settings.ChronoManagerStatus = std::string(kActive);
  }
  settings.LastProfileName = LastProfile(registry);
  if (ControlCentreValue(registry, ProfileKey(settings.LastProfileName), "UseChronoManager") ==
      "1") {
    settings.ChronoManagerStatus = std::string(kActive);
  }

  settings.x_sim_status = std::string(kXSimInactive);
  settings.audio_dat_status = std::string(kAudioDatAbsent);
  settings.LastProfileName = LastProfile(registry);
  if (ControlCentreValue(registry, ProfileKey(settings.LastProfileName), "CheckXSim") == "1") {
    settings.x_sim_status = std::string(kActive);
  }
  if (files.IsFile(std::string(install_folder) + "audio.dat")) {
    settings.audio_dat_status = std::string(kAudioDatPresent);
  }
}

}  // namespace survey
