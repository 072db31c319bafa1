// The car-pack and stage-pack checks that open the analysis: installed car
// packs older than the add-on requires, no car pack at all, and the stage pack
// marked as not installed.
#pragma once

#include <functional>
#include <string_view>

#include "analysis/report.h"
#include "components/Profil.h"
#include "components/mRegistry.h"
#include "platform/ui.h"

namespace analysis {

// The add-on's car-pack requirements, relative to the game folder; without
// it there is no analysis.
inline constexpr std::string_view kPackConfigFile = "QUORVEL\\Config_P.ini";

// VerifPacks: the requirements read through `config` (Profile3, aimed here at
// the configuration file), the installed versions through `pack_versions`
// (mRegistry6, aimed at PackVersionsKey); `process_events` lets the window in
// once the pack list is read. A count or a version that is not a whole number
// does not end the analysis: the conversion error is shown, a red line names
// the value and counts as a problem, and the run goes on, so the player still
// gets a closed report on the clipboard.
void VerifPacks(AnalysisReport& report, TProfile& config, TmRegistry& pack_versions,
                std::string_view install_folder, platform::UserInterface& ui,
                const std::function<void()>& process_events);

// VerifPackTracks: the stage pack marked as not installed through
// `stage_pack` (mRegistry10).
void VerifPackTracks(AnalysisReport& report, TmRegistry& stage_pack);

}  // namespace analysis
