// The index of the add-on's archives for the restoration of missing files:
// which archives of QUORVEL\ may serve, and what each holds, read from the
// archives' headers once per run, without extracting anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/SevenZip.h"
#include "platform/files.h"

namespace repairs {

// A file item that may be written into the game folder: its path is relative
// (archive::SafeRelativePath) and every component a plain file name; folders
// and link items are never indexed.
struct IndexedItem {
  std::string relative;  // backslashes, the archive's letter case
  std::uint32_t index = 0;
  std::uint32_t crc = 0;  // an empty file's CRC-32 is 0
  std::uint64_t size = 0;
};

struct IndexedArchive {
  std::string name;      // in QUORVEL\, as the folder lists it
  std::string password;  // the one it opened with (empty: none)
  std::vector<IndexedItem> files;
  // The one top folder every indexed file lies below; empty when there is none.
  std::string root;
};

struct RestoreIndex {
  std::vector<IndexedArchive> archives;
  std::vector<std::string> unopened;  // opened with neither password: skipped
};

// A relative path (backslashes) whose every component is a plain file name
// (archive::IsPlainFileName): no pattern, device, stream or trailing dot.
bool IsPlainRelativePath(std::string_view relative);

// The archives of QUORVEL\ that may serve: plain files named "*.7z" (the
// checked-archive list's names and any other), but the DataPack (qdm.7z) and
// those the integrity check reported corrupt (names, letter case aside).
std::vector<std::string> SourceArchives(platform::FileSystem& files,
                                        std::string_view install_folder,
                                        const std::vector<std::string>& corrupt_archives);

// Opens each archive with the DataPack's password, then with none, and lists
// its items. `progress(done, total)` follows each archive. The component's
// SZFileName and Password are left as they were.
RestoreIndex BuildRestoreIndex(archive::TSevenZip& sevenzip, std::string_view install_folder,
                               const std::vector<std::string>& archive_names,
                               const std::function<void(std::size_t, std::size_t)>& progress);

}  // namespace repairs
