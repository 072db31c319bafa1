// The restoration of missing files from the add-on's own archives: after an
// analysis, each missing entry of the check list is looked for among the
// items of the archives (restore_index.h), and the player may have those
// found written back into the game folder.
//
// What it never does: overwrite (a path that exists when the work runs is
// skipped), write outside the game folder or through a link already there,
// take the DataPack or an archive reported corrupt as a source, create a
// folder no restored file needs, or keep a file whose CRC-32 differs from
// the archive's (it is removed and counted as not restored).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/SevenZip.h"
#include "platform/files.h"
#include "repairs/restore_index.h"

namespace repairs {

// A check-list entry's path relative to the game folder when the restoration
// may put it back: plain, loading-screen and profile entries. The NGP
// plugin's entry is left alone (the player may have switched it off), and so
// are the system folder's files and the update line.
std::optional<std::string> RestorableEntryPath(std::string_view check_entry);

struct PlannedFile {
  std::string relative;  // where it goes, below the game folder
  std::string archive;
  std::string password;
  std::uint32_t index = 0;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
};

struct RestorePlan {
  std::vector<PlannedFile> files;
  std::vector<std::string> archives;     // the sources of `files`, in index order
  std::vector<std::string> disagreeing;  // held with different CRCs or sizes: not restored
  std::vector<std::string> unopened;     // archives skipped
};

// Matches the missing paths (relative to the game folder; a missing folder
// takes every file the archives hold below it) against the items: both
// separators, letter case aside. An archive whose files all lie below one top
// folder that is not a folder of the game folder and not the first component
// of a missing path is taken as laid under a root folder: its items match by
// their paths below that folder. Every other archive matches as it stands.
RestorePlan PlanRestore(const RestoreIndex& index, platform::FileSystem& files,
                        std::string_view install_folder,
                        const std::vector<std::string>& missing_paths);

struct RestoreOutcome {
  std::vector<std::string> restored;
  std::vector<std::string> not_restored;  // "path (why, in French / in English)"
};

// Writes the planned files, an archive at a time. `progress(done, total)` in
// bytes follows the extraction and may process the window's events. The
// component's properties and events are left as they were.
RestoreOutcome RunRestore(archive::TSevenZip& sevenzip, platform::FileSystem& files,
                          std::string_view install_folder, const RestorePlan& plan,
                          const std::function<void(std::uint64_t, std::uint64_t)>& progress);

// The Yes/No question, French then English.
std::string RestoreOfferText(const RestorePlan& plan);
// The information box after the work.
std::string RestoreOutcomeText(const RestoreOutcome& outcome);

}  // namespace repairs
