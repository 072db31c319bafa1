#include "repairs/texture_folders.h"

namespace repairs {

namespace {

// The shell's delete takes a pattern: a name holding a wildcard would take
// its look-alikes with it, so such a folder is left alone.
bool HoldsWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

}  // namespace

const std::vector<std::string>& TextureParentFolders() {
  static const std::vector<std::string> folders{"MAPS",
                                                "MAPS\\NS",
                                                "MAPS\\CC1",
                                                "MAPS\\CC2",
                                                "MAPS\\CC3",
                                                "MAPS\\SuperS\\S1",
                                                "MAPS\\SuperS\\S2",
                                                "MAPS\\SuperS\\S3",
                                                "MAPS\\SuperS\\S4",
                                                "MAPS\\SuperS\\S5"};
  return folders;
}

std::string MissingMarkerMessage(std::string_view parent) {
  // The top folder is written with its backslash: "..\MAPS\ n'ont ...".
  std::string shown = std::string(parent) + (parent == "MAPS" ? "\\" : "");
  return "Certains dossiers dans ..\\" + shown +
         " n'ont pas pu être réparer car il manque un(des) fichier(s) .rep";
}

std::string NameFromMarker(std::string_view marker_file) {
  return std::string(marker_file.substr(0, marker_file.size() >= 4 ? marker_file.size() - 4 : 0));
}

void RepairTextureFolders(TmRegistry& install_path, const TextureScanners& scanners,
                          platform::FileSystem& files, platform::UserInterface& ui,
                          std::string_view install_folder) {
  if (install_path.ReadValue("").empty()) return;
  for (const std::string& parent : TextureParentFolders()) {
    const std::string parent_path = std::string(install_folder) + parent + "\\";
    scanners.misnamed.PathName = std::string(install_folder) + parent;
    scanners.misnamed.ReadDir();
    const std::vector<std::string> misnamed = scanners.misnamed.ListDirs;
    for (const std::string& name : misnamed) {
      const std::string folder = parent_path + name;
      scanners.markers.PathName = folder;
      scanners.markers.ReadDir();
      if (scanners.markers.ListFiles.empty()) {
        ui.ShowMessage(platform::MessageKind::kPlain, MissingMarkerMessage(parent));
        continue;
      }
      const std::string target = parent_path + NameFromMarker(scanners.markers.ListFiles.front());
      if (files.IsFolder(target)) {
        if (!HoldsWildcard(name)) (void)files.DeleteSilently(folder);
      } else {
        (void)files.MoveFile(folder, target);
      }
    }
  }
}

}  // namespace repairs
