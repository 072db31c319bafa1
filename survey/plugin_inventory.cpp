// The plugin inventory, written after the copy of the game's INI file: the
// DLLs of the game's "Plugins" folder and the cheat-tool notice.
#include <algorithm>
#include <string>
#include <vector>

#include "app/RemedorMain.h"
#include "platform/text.h"
#include "survey/plugin_table.h"

namespace {

// The ordinary files of the folder whose long name ends with ".dll" (Windows
// would also match "x.dllold" through its short name "X~1.DLL"), sorted
// without regard to letter case.
survey::PluginFolder ListPlugins(platform::FileSystem& files, const std::string& folder,
                                 std::vector<std::string>& names) {
  if (!files.IsFolder(folder)) return survey::PluginFolder::kMissing;
  auto entries = files.FindFiles(folder + "\\*.dll");
  if (!entries) {
    return entries.error().code == platform::Errc::kFileNotFound
               ? survey::PluginFolder::kListed
               : survey::PluginFolder::kUnreadable;
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
  return survey::PluginFolder::kListed;
}

}  // namespace

void TForm1::WritePluginInventory() {
  platform::FileSystem& files = os.files();
  std::vector<std::string> names;
  const survey::PluginFolder folder = ListPlugins(files, InstallFolder + "Plugins", names);
  survey::WritePluginLines(report, folder, names);
  if (files.IsFile(InstallFolder + "Cheat Mode RBR_SSE.exe") ||
      files.IsFile(InstallFolder + "Cheat Mode RBR_NOSSE.exe")) {
    survey::WriteCheatToolNotice(report);
  }
}
