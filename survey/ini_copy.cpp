#include "survey/ini_copy.h"

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/errors.h"
#include "runtime/lines.h"

namespace survey {

void WriteIniCopy(analysis::AnalysisReport& report, platform::FileSystem& files,
                  std::string_view install_folder) {
  const std::string path = std::string(install_folder) + "RichardBurnsRally.ini";
  const auto write_error = [&] {
    report.AppendBoth("Erreur : Ne peut lire le fichier RichardBurnsRally.ini");
    report.AppendBoth("Chemin d'installation dans la base de registre : " +
                      std::string(install_folder));
  };
  std::vector<std::string> lines;
  try {
    if (files.Exists(path)) lines = runtime::LoadLines(files, path);
  } catch (const runtime::FileError&) {
    write_error();
    return;
  }
  report.AppendBoth("Contenu du fichier RichardBurnsRally.ini :");
  report.AppendBoth("");
  if (lines.empty()) {
    write_error();
    return;
  }
  for (std::string& line : lines)
    line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());
  for (const std::string& line : lines) report.AppendScreen(line);
  for (const std::string& line : lines) report.AppendForum(line);
}

}  // namespace survey
