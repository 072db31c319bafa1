#include "survey/plugin_inventory.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "survey/plugin_table.h"

namespace survey {

namespace {

// The ordinary files of the folder whose long name ends with ".dll" (Windows
// would also match "x.dllold" through its short name "X~1.DLL"), sorted
// without regard to letter case.
PluginFolder ListPlugins(platform::FileSystem& files, const std::string& folder,
                         std::vector<std::string>& names) {
  if (!files.IsFolder(folder)) return PluginFolder::kMissing;
  auto entries = files.FindFiles(folder + "\\*.dll");
  if (!entries) {
    return entries.error().code == platform::Errc::kFileNotFound ? PluginFolder::kListed
                                                                 : PluginFolder::kUnreadable;
  }
  using namespace platform::file_attribute;
  for (const platform::FindEntry& entry : *entries) {
    if ((entry.attributes & (kDirectory | kHidden | kSystem | kVolumeLabel)) != 0) continue;
    if (!platform::EndsWith(platform::LowerCase(entry.name), ".dll")) continue;
    names.push_back(entry.name);
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::CompareIgnoreCase(a, b) < 0;
  });
  return PluginFolder::kListed;
}

}  // namespace

void WritePluginInventory(analysis::AnalysisReport& report, platform::FileSystem& files,
                          std::string_view install_folder) {
  const std::string folder(install_folder);
  std::vector<std::string> names;
  const PluginFolder found = ListPlugins(files, folder + "Plugins", names);
  WritePluginLines(report, found, names);
  if (files.IsFile(folder + "Cheat Mode RBR_SSE.exe") ||
      files.IsFile(folder + "Cheat Mode RBR_NOSSE.exe")) {
    WriteCheatToolNotice(report);
  }
}

}  // namespace survey
