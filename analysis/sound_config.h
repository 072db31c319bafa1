// The sound-configuration analysis (VerifEffects): every reference of the
// add-on's effect and engine files to a sound file that does not exist is
// reported with its file, its line number and the line itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report.h"
#include "components/BFC_Dir.h"
#include "platform/files.h"

namespace analysis {

// One configuration file and the rule its lines follow.
struct SoundConfigFile {
  enum class Kind { kEffects, kEngines };
  Kind kind;
  std::string path;
};

// The "*.ini" files of the add-on's effect folder, then of its engine folder,
// as `scanner` (BFC_Dir5) lists them.
std::vector<SoundConfigFile> ListSoundConfigFiles(TBFC_Dir& scanner,
                                                  std::string_view install_folder);

// What the check counts: the references tested, and the missing entries the
// unknown ones add to (with the problems of the report).
struct SoundCounts {
  std::int32_t& tested;   // SoundTestCount
  std::int32_t& missing;  // MissingCount
};

// Checks the references of one file. `loaded` runs once its lines are read,
// `process_events` before each line. Raises FileError when the file cannot be
// read: the analysis ends there.
void CheckSoundConfigFile(AnalysisReport& report, platform::FileSystem& files,
                          std::string_view install_folder, const SoundConfigFile& config,
                          const SoundCounts& counts, const std::function<void()>& loaded,
                          const std::function<void()>& process_events);

}  // namespace analysis
