// The required-file check of the analysis: how an entry of the check list is
// tested (its marker decides), the line written when it is missing, the cap on
// the forum view and the missing-file totals.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report.h"
#include "platform/files.h"

namespace analysis {

// The first character of an entry: none of the markers is a plain path
// relative to the game folder.
enum class EntryKind {
  kPlain,            // a file or a folder of the game or the add-on
  kVb6Runtime,       // "&": a file of the Windows folder's System32
  kLoadingScreen,    // "$"
  kProfile,          // "£": a file of the DOROVIROZORA profile
  kNgpPlugin,        // "§": a file of the NGP physics plugin, or its switched-off twin
  kSupportedUpdate,  // "µ": not a file, never checked
};

struct CheckEntry {
  EntryKind kind = EntryKind::kPlain;
  std::string_view rest;  // the entry without its marker (the whole entry when plain)
};

// The update marker: the line it starts names the update the lists were made
// for (SupportedUpdate); it is never checked.
inline constexpr std::string_view kUpdateMarker = "µ";

// Markers are compared exactly; nothing is trimmed or case-folded.
CheckEntry ParseEntry(std::string_view entry);

// What has to exist for the entry to be present: `path`, or else
// `alternative` when it is not empty. Only a plain entry accepts a folder.
struct EntryProbe {
  std::string path;
  std::string alternative;
  bool folder_counts = false;
  bool checked = true;  // false for the supported-update line
};

EntryProbe ProbeFor(const CheckEntry& entry, std::string_view install_folder,
                    std::string_view windows_folder);

bool IsPresent(platform::FileSystem& files, const EntryProbe& probe);

// "  Fichier manquant : " and the entry's description; empty for an entry
// that is never checked.
std::string MissingLine(const CheckEntry& entry, std::string_view install_folder);

// The forum view lists a missing entry while fewer than 501 were found before
// it (the count runs from 0 to 500 inclusive), so 501 lines at most.
inline constexpr std::int32_t kForumMissingCap = 500;
inline bool ForumListsMissingEntry(std::int32_t missing_before) {
  return missing_before <= kForumMissingCap;
}

// The totals after the file and sound checks, ending with a rule in both views.
void WriteMissingTotals(AnalysisReport& report, std::int32_t missing_count);

// Walks the check list's entries against the game folder: every missing entry
// goes to the report (header first) and is counted in `missing_count`
// (MissingCount); `checked(index, missing)` follows each entry, for the window
// to tick it and move its gauge.
void CheckRequiredEntries(AnalysisReport& report, platform::FileSystem& files,
                          std::string_view install_folder, std::string_view windows_folder,
                          const std::vector<std::string_view>& entries, std::int32_t& missing_count,
                          const std::function<void(std::size_t index, bool missing)>& checked);

}  // namespace analysis
