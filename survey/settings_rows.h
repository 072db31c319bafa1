// The settings lines of the start-up survey: the control centre's options,
// the 2010 sounds, audio.dat, EAX, Windows Internet time, RBR-World and the
// versions of the sound and physics libraries. Each writer appends its screen
// line, then its forum line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/report.h"
#include "platform/machine.h"

namespace survey {

using analysis::AnalysisReport;

inline constexpr std::string_view kActive = "Activé";
inline constexpr std::string_view kChronoInactive = "Non Activé";
inline constexpr std::string_view kXSimInactive = "Non activé";
inline constexpr std::string_view kAudioDatPresent = "Present";
inline constexpr std::string_view kAudioDatAbsent = "Absent";

// Rows 19 to 22.
void WriteChronoManagerRow(AnalysisReport& report, std::string_view chrono_manager_status);
void WriteXSimRow(AnalysisReport& report, std::string_view xsim_status);
void WriteSons2010Row(AnalysisReport& report, std::string_view sons2010_version);
void WriteAudioDatRow(AnalysisReport& report, std::string_view audio_dat_status);

// The product name names Windows Vista or 7 ("Vista" or "7", exact case).
bool IsVistaOrSeven(std::string_view product_name);

// Row 24: EAX switched on ("UseEAX", any case of "true") under Vista or 7.
void WriteEaxRow(AnalysisReport& report, std::string_view product_name, std::string_view use_eax);

// Row 25, Windows Internet time: what to write and whether the Internet-time
// button becomes usable.
struct TimeRow {
  std::optional<std::string> screen, forum;
  bool enable_time_button = false;
};
// From the time service's "Type" value (read under Vista or 7 only); nullopt
// when it is empty and the service's state must decide.
std::optional<TimeRow> TimeRowFromType(std::string_view type);
// From the service's state: 0 when it could not be read, 1 stopped, 4 running.
TimeRow TimeRowFromServiceState(std::uint32_t state, bool vista_or_seven);
void WriteTimeRow(AnalysisReport& report, const TimeRow& row);

// Row 26, only when "MAPS\wRBR" exists.
void WriteRbrWorldRow(AnalysisReport& report);

// The "FileVersion" string of the first translation of a version resource;
// empty without resource, translation table or string.
std::string FileVersionString(const std::optional<platform::VersionInfo>& info);

// Rows 27, 28, 30 and 31: "Version de <library> : " + version, or the red
// "Fichier non présent" line when the file is absent (nullopt).
void WriteLibraryVersionRow(AnalysisReport& report, std::string_view library,
                            const std::optional<std::string>& version);

// Row 29: the "enableFMOD" value of AudioFMOD.ini, or nullopt without the file.
void WriteAudioFmodRow(AnalysisReport& report, const std::optional<std::string>& enable_fmod);

}  // namespace survey
