#include "components/BFC_Dir.h"

#include "components/BFC_Utils.h"

void TBFC_Dir::ReadDir() {
  const std::string folder = IncludeDelimiter(PathName);
  ListDirs.clear();
  ListFiles.clear();
  const auto found = files_.FindFiles(folder + FileName);
  if (!found) return;
  for (const platform::FindEntry& entry : *found) {
    if (entry.name.empty() || entry.name.front() == '.') continue;
    const bool is_folder = (entry.attributes & platform::file_attribute::kDirectory) != 0;
    const bool is_label = (entry.attributes & platform::file_attribute::kVolumeLabel) != 0;
    const std::string listed = PathInName ? folder + entry.name : entry.name;
    if (is_folder) {
      ListDirs.push_back(listed);
    } else if (!is_label) {
      ListFiles.push_back(listed);
    }
  }
}
