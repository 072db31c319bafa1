// Settings read early in the start-up and kept for the run: the version of
// the 2010 sounds (step 13) and the control centre's options with the
// audio.dat status (step 14).
#include <string>
#include <string_view>

#include "app/RemedorMain.h"
#include "components/mRegistry.h"
#include "survey/settings_rows.h"

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

void TForm1::ReadSons2010Version() { settings.Sons2010Version = mRegistry4->ReadValue("Version"); }

void TForm1::ReadControlCentreSettings() {
  TmRegistry& registry = *mRegistry5;
  // Either the guest settings or the last profile's switch the manager on.
  settings.ChronoManagerStatus = std::string(survey::kChronoInactive);
  if (ControlCentreValue(registry, "Corvane2015\\guest Settings", "UseChronoManager") == "1") {
    settings.ChronoManagerStatus = std::string(survey::kActive);
  }
  settings.LastProfileName = LastProfile(registry);
  if (ControlCentreValue(registry, ProfileKey(settings.LastProfileName), "UseChronoManager") ==
      "1") {
    settings.ChronoManagerStatus = std::string(survey::kActive);
  }

  settings.XSimStatus = std::string(survey::kXSimInactive);
  settings.AudioDatStatus = std::string(survey::kAudioDatAbsent);
  settings.LastProfileName = LastProfile(registry);
  if (ControlCentreValue(registry, ProfileKey(settings.LastProfileName), "CheckXSim") == "1") {
    settings.XSimStatus = std::string(survey::kActive);
  }
  if (os.files().IsFile(InstallFolder + "audio.dat")) {
    settings.AudioDatStatus = std::string(survey::kAudioDatPresent);
  }
}
