#include "repairs/texture_folders.h"

#include "app/RemedorMain.h"
#include "components/BFC_Dir.h"
#include "components/mRegistry.h"

namespace repairs {

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

}  // namespace repairs

namespace {

// The shell's delete takes a pattern: a name holding a wildcard would take
// its look-alikes with it, so such a folder is left alone.
bool HoldsWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

}  // namespace

void TForm1::BoutonCorrigerClick() {
  window.cursor = app::Cursor::kBusy;
  struct RestoreCursor {
    app::WindowModel& window;
    ~RestoreCursor() { window.cursor = app::Cursor::kArrow; }
  } restore{window};
  platform::FileSystem& files = os.files();
  if (!mRegistry1->ReadValue("").empty()) {
    for (const std::string& parent : repairs::TextureParentFolders()) {
      const std::string parent_path = InstallFolder + parent + "\\";
      BFC_Dir2->PathName = InstallFolder + parent;
      BFC_Dir2->ReadDir();
      const std::vector<std::string> misnamed(BFC_Dir2->ListDirs.begin(), BFC_Dir2->ListDirs.end());
      for (const std::string& name : misnamed) {
        const std::string folder = parent_path + name;
        BFC_Dir3->PathName = folder;
        BFC_Dir3->ReadDir();
        if (BFC_Dir3->ListFiles.empty()) {
          ui.ShowMessage(platform::MessageKind::kPlain, repairs::MissingMarkerMessage(parent));
          continue;
        }
        const std::string target =
            parent_path + repairs::NameFromMarker(BFC_Dir3->ListFiles.front());
        // A failed rename or deletion goes unreported: the next analysis shows the folder again.
        if (files.IsFolder(target)) {
          if (!HoldsWildcard(name)) (void)files.DeleteSilently(folder);
        } else {
          (void)files.MoveFile(folder, target);
        }
      }
    }
  }
  window.BoutonCorriger.enabled = false;
}
