#include "analysis/analysis_run.h"

#include <algorithm>

#include "analysis/install_location.h"
#include "platform/text.h"
#include "survey/processes.h"

namespace analysis {

using markup::Red;

std::vector<std::string> ListDdsFiles(platform::FileSystem& files,
                                      std::string_view install_folder) {
  const std::string folder(install_folder);
  (void)files.SetCurrentDirectory(folder);  // the listing makes the folder current
  std::vector<std::string> found;
  if (auto entries = files.FindFiles(folder + "*.DDS")) {
    for (const platform::FindEntry& entry : *entries) {
      if ((entry.attributes & platform::file_attribute::kDirectory) == 0) {
        found.push_back(entry.name);
      }
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return platform::CompareIgnoreCase(a, b) < 0;
  });
  return found;
}

void WriteDdsSection(AnalysisReport& report, const std::vector<std::string>& dds_files) {
  if (dds_files.empty()) return;
  const std::string title = "Présence anormale de fichier(s) DDS à la racine du jeu : ";
  report.AppendPair(Rule(), Rule());
  report.AppendPair(title, Red(title));
  for (const std::string& name : dds_files) report.AppendBoth("  Présence anormale de " + name);
}

void WriteProtectedFolderSection(AnalysisReport& report, std::string_view product_name,
                                 std::string_view install_folder, std::string_view windows_folder) {
  const auto system = ProtectedInstallSystem(product_name, install_folder);
  if (!system) return;
  const std::string text = "Installation incorrecte sous " + *system + " (Système dans " +
                           std::string(windows_folder) + ")";
  report.AppendBoth(Rule());
  report.AppendBoth("");
  report.AppendBoth(Stars(59));
  report.AppendPair("  " + text, "  " + Red(text));
  report.AppendBoth(Stars(59));
}

bool WriteTextureFolderSection(AnalysisReport& report, TBFC_Dir& scanner,
                               std::string_view install_folder) {
  std::vector<std::string> found;
  for (const char* parent : {"MAPS", "MAPS\\NS", "MAPS\\SuperS\\S1", "MAPS\\SuperS\\S2",
                             "MAPS\\SuperS\\S3", "MAPS\\SuperS\\S4", "MAPS\\SuperS\\S5"}) {
    scanner.PathName = std::string(install_folder) + parent;
    scanner.ReadDir();
    found.insert(found.end(), scanner.ListDirs.begin(), scanner.ListDirs.end());
  }
  if (found.empty()) return false;
  const std::string text =
      "Présence anormale de dossiers track-xx_X_textures dans ..\\MAPS\\ ou un de ses "
      "sous-dossier";
  report.AppendBoth(Rule());
  report.AppendBoth("");
  report.AppendBoth(Stars(92));
  report.AppendPair("  " + text, "  " + Red(text));
  report.AppendBoth(Stars(92));
  return true;
}

bool WriteCorruptionSection(AnalysisReport& report, const std::vector<std::string>& lines) {
  if (lines.empty()) return false;
  const std::string title = "Corruption de fichier(s)";
  report.AppendBoth(Rule());
  report.AppendBoth("");
  report.AppendBoth(Stars(25));
  report.AppendPair(" " + title, " " + Red(title));
  report.AppendBoth(Stars(25));
  for (const std::string& line : lines) report.AppendBoth(line);
  report.AppendScreen(Rule());
  return true;
}

void WriteProcessSection(AnalysisReport& report, platform::Machine& machine,
                         std::vector<std::string>& process_list) {
  const std::string title = "Liste des processus en cours lors du rapport d'analyse ( ";
  int count = survey::RefreshProcesses(machine, process_list);
  report.AppendScreen(Rule());
  report.AppendScreen(title + std::to_string(count) + " )");
  for (const std::string& line : process_list) report.AppendScreen(line);
  count = survey::RefreshProcesses(machine, process_list);
  report.AppendForum(Rule());
  report.AppendForum(title + std::to_string(count) + " )");
  report.AppendForum(std::string(markup::kQuoteOpen));
  for (const std::string& line : process_list) report.AppendForum(line);
  report.AppendForum(std::string(markup::kQuoteClose));
}

}  // namespace analysis
