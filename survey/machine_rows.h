// The machine lines of the start-up survey: versions, processor, memory,
// display, game resolution, disk space, operating system and account. Each
// writer appends its screen line, then its forum line, to the report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/report.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/result.h"

namespace survey {

using analysis::AnalysisReport;

// Rows 1 to 5: tool version, installed update (when known), supported update,
// a rule and the section title.
void WriteVersionRows(AnalysisReport& report, std::string_view version_label,
                      std::string_view installed_update, std::string_view supported_update);

// Row 6. The brand is cut to its 48 characters (and at a NUL), leading
// blanks removed.
void WriteProcessorRow(AnalysisReport& report, std::string_view brand, int physical_cores);

// Row 7, coloured by the total: red up to 0.6 unit, orange below 1, green from 1.
void WriteMemoryRow(AnalysisReport& report, const platform::Result<platform::MemoryStatus>& memory,
                    std::string_view decimal_separator);

// Rows 8 to 10: graphics card (left out without display device 0), monitors,
// screen resolution.
void WriteDisplayRows(AnalysisReport& report, const std::optional<std::string>& display_device,
                      int monitors, platform::ScreenSize screen);

// Rows 11 and 12: the game resolution as read from the game's INI file,
// marked where it exceeds the screen, and the warning. A text that is not a
// whole number is shown as read, never marked, and followed by a red line
// naming it, so that a broken INI file does not end the survey.
void WriteGameResolutionRows(AnalysisReport& report, std::string_view x_text,
                             std::string_view y_text, platform::ScreenSize screen);

// Row 13: free and total space of the game's volume. A query that succeeded
// always gives the figures (a full disk is red); only a failed one gives the
// error lines.
void WriteDiskRow(AnalysisReport& report, const platform::Result<platform::DiskSpace>& disk,
                  std::string_view decimal_separator);

struct OperatingSystemFacts {
  std::string product_name;  // "ProductName" of the version key
  std::string service_pack;  // e.g. "Service Pack 3"
  std::string build_label;   // "BuildLabEx"
  bool xp64 = false;         // the 64-bit edition of Windows XP
};

// Rows 15 and 16, tested independently on the upper-cased product name.
void WriteOperatingSystemRows(AnalysisReport& report, const OperatingSystemFacts& os);

// Rows 17 and 33.
std::string InstallFolderLine(std::string_view install_folder);

// Row 18.
void WriteAccountRow(AnalysisReport& report, bool administrator);

}  // namespace survey
