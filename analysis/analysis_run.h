// The sections of the analysis run ("Analyse simple" or "Analyse complète")
// after the file and sound checks: the known installation faults and the
// running processes. Each appends to both views from what it is given; the
// window's handler runs them in order (app/form_analysis.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/report.h"
#include "components/BFC_Dir.h"
#include "platform/files.h"
#include "platform/machine.h"

namespace analysis {

// The DDS files at the game root, sorted without regard to letter case; the
// listing makes the game folder the current one (step 18 of the start-up).
std::vector<std::string> ListDdsFiles(platform::FileSystem& files, std::string_view install_folder);

// The DDS files the start-up found; nothing without one.
void WriteDdsSection(AnalysisReport& report, const std::vector<std::string>& dds_files);

// The game installed below a folder that Windows Vista or 7 protects.
void WriteProtectedFolderSection(AnalysisReport& report, std::string_view product_name,
                                 std::string_view install_folder, std::string_view windows_folder);

// Misnamed track-texture folders below MAPS, found with `scanner` (BFC_Dir1;
// the repair scans more folders). True when one was found.
bool WriteTextureFolderSection(AnalysisReport& report, TBFC_Dir& scanner,
                               std::string_view install_folder);

// The integrity check's findings (CorruptionLines, final); true when there is one.
bool WriteCorruptionSection(AnalysisReport& report, const std::vector<std::string>& lines);

// The running processes, each view from a fresh refresh of `process_list`
// (ProcessList), as the count refreshes the list.
void WriteProcessSection(AnalysisReport& report, platform::Machine& machine,
                         std::vector<std::string>& process_list);

}  // namespace analysis
