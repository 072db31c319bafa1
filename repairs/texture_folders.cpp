#include "repairs/texture_folders.h"

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
