// Existence and type of many paths from one directory search per folder: the
// check list asks about tens of thousands of paths in a few hundred folders.
// A folder is listed with FindFirstFileExW (FindExInfoBasic, no short names;
// FIND_FIRST_EX_LARGE_FETCH), its names kept in upper case. A "present" answer
// from a listing is trusted for at most a second; a "missing" one only from a
// listing made for that very question, so a change made since is never
// hidden. Paths the listing cannot answer as GetFileAttributesW would (a
// drive's root, wildcards, network and device paths, names that may be 8.3
// short names) are asked of GetFileAttributesW itself.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/files.h"

namespace platform::win32 {

class FolderListings {
 public:
  // `path` as the API takes it (already in the 32-bit view).
  EntryType TypeOf(const std::wstring& path);

 private:
  struct Listing {
    std::unordered_map<std::wstring, bool> is_folder;  // by upper-case name
    std::uint64_t listed_ms = 0;                       // GetTickCount64 when listed
  };
  // Lists the folder (with its trailing backslash) under its key.
  Listing& List(const std::wstring& folder, const std::wstring& key);

  std::mutex mutex_;
  std::unordered_map<std::wstring, Listing> folders_;  // by upper-case full folder path
};

}  // namespace platform::win32
