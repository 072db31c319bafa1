// TBFC_Dir: the entries of one folder whose names match a wildcard mask, split
// into sub-folders (ListDirs) and files (ListFiles), one level only. Callers
// assign PathName (and FileName, PathInName), call ReadDir and read the lists;
// the next ReadDir empties them.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

class TBFC_Dir {
 public:
  explicit TBFC_Dir(platform::FileSystem& files) : files_(files) {}

  std::string PathName;                // the folder to scan
  std::string FileName = "*.*";        // the mask, with the platform's wildcard rules
  std::vector<std::string> ListDirs;   // matching folders of the last scan
  std::vector<std::string> ListFiles;  // matching files of the last scan
  bool PathInName = false;             // entries carry IncludeDelimiter(PathName) in front

  // Rescans, in the order the platform returns the entries. Names starting with
  // a dot are never listed ("." and ".." among them); volume labels neither. A
  // missing or unreadable folder, or no match, leaves both lists empty.
  void ReadDir();

 private:
  platform::FileSystem& files_;
};
