// The analysis run, started by "Analyse simple" or "Analyse complète": the
// car-pack checks, the required files, the sound references, then the known
// installation faults, and the report closing.
#include "analysis/install_location.h"
#include "analysis/required_files.h"
#include "app/RemedorMain.h"
#include "archive/integrity.h"
#include "components/BFC_Dir.h"

namespace {

using analysis::Rule;
using analysis::Stars;
using analysis::markup::Red;

void WriteDdsSection(TForm1& form) {
  if (form.DdsListing.empty()) return;
  const std::string title = "Présence anormale de fichier(s) DDS à la racine du jeu : ";
  form.report.AppendPair(Rule(), Rule());
  form.report.AppendPair(title, Red(title));
  for (const std::string& name : form.DdsListing) {
    form.report.AppendBoth("  Présence anormale de " + name);
  }
}

void WriteProtectedFolderSection(TForm1& form) {
  const auto system =
      analysis::ProtectedInstallSystem(form.settings.ProductName, form.InstallFolder);
  if (!system) return;
  const std::string text = "Installation incorrecte sous " + *system + " (Système dans " +
                           form.os.machine().WindowsFolder() + ")";
  form.report.AppendBoth(Rule());
  form.report.AppendBoth("");
  form.report.AppendBoth(Stars(59));
  form.report.AppendPair("  " + text, "  " + Red(text));
  form.report.AppendBoth(Stars(59));
}

// Misnamed track-texture folders below MAPS (the repair scans more folders).
void WriteTextureFolderSection(TForm1& form) {
  std::vector<std::string> found;
  for (const char* parent : {"MAPS", "MAPS\\NS", "MAPS\\SuperS\\S1", "MAPS\\SuperS\\S2",
                             "MAPS\\SuperS\\S3", "MAPS\\SuperS\\S4", "MAPS\\SuperS\\S5"}) {
    form.BFC_Dir1->PathName = form.InstallFolder + parent;
    form.BFC_Dir1->ReadDir();
    found.insert(found.end(), form.BFC_Dir1->ListDirs.begin(), form.BFC_Dir1->ListDirs.end());
  }
  if (found.empty()) return;
  const std::string text =
      "Présence anormale de dossiers track-xx_X_textures dans ..\\MAPS\\ ou un de ses "
      "sous-dossier";
  form.report.AppendBoth(Rule());
  form.report.AppendBoth("");
  form.report.AppendBoth(Stars(92));
  form.report.AppendPair("  " + text, "  " + Red(text));
  form.report.AppendBoth(Stars(92));
  form.window.BoutonCorriger.enabled = true;
}

void WriteCorruptionSection(TForm1& form) {
  // The digests are computed beside this thread: the report waits for their
  // final lines rather than reporting none while they are still being computed.
  form.integrity->Finish();
  if (form.CorruptionLines.empty()) return;
  form.CorruptionFound = true;
  const std::string title = "Corruption de fichier(s)";
  form.report.AppendBoth(Rule());
  form.report.AppendBoth("");
  form.report.AppendBoth(Stars(25));
  form.report.AppendPair(" " + title, " " + Red(title));
  form.report.AppendBoth(Stars(25));
  for (const std::string& line : form.CorruptionLines) form.report.AppendBoth(line);
  form.report.AppendScreen(Rule());
}

// Each view takes a fresh enumeration, as the count refreshes the list.
void WriteProcessSection(TForm1& form) {
  const std::string title = "Liste des processus en cours lors du rapport d'analyse ( ";
  int count = form.RefreshProcesses();
  form.report.AppendScreen(Rule());
  form.report.AppendScreen(title + std::to_string(count) + " )");
  for (const std::string& line : form.ProcessList) form.report.AppendScreen(line);
  count = form.RefreshProcesses();
  form.report.AppendForum(Rule());
  form.report.AppendForum(title + std::to_string(count) + " )");
  form.report.AppendForum(std::string(analysis::markup::kQuoteOpen));
  for (const std::string& line : form.ProcessList) form.report.AppendForum(line);
  form.report.AppendForum(std::string(analysis::markup::kQuoteClose));
}

}  // namespace

void TForm1::SpeedButton1Click(const app::Control& sender) {
  if (&sender == &window.SpeedButton4) {
    process_list_option = true;
    window.CheckBoxProcesses.checked = true;
  }
  report.ProblemCount = 0;
  if (!os.files().IsFile(InstallFolder + "QUORVEL\\Config_P.ini")) {
    ui.ShowMessage(platform::MessageKind::kPlain, "Ne peut ouvrir le fichier Config_P.ini");
    return;
  }
  VerifPacks();
  VerifPackTracks();
  report.AppendBoth(Rule());
  window.PanelSummary.visible = false;
  window.Gauge1.max = static_cast<int>(window.CheckList.size()) - 1;
  analysis::CheckRequiredEntries(*this);
  VerifEffects();
  analysis::WriteMissingTotals(report, MissingCount);
  WriteDdsSection(*this);
  WriteProtectedFolderSection(*this);
  WriteTextureFolderSection(*this);
  WriteCorruptionSection(*this);
  if (process_list_option) WriteProcessSection(*this);
  CloseReport();
  if (window.CBBoutonGenerer.checked) window.SpeedButton3.enabled = true;
  if (settings.ChronoManagerStatus == "Activé") window.bButton6.enabled = true;
  window.SpeedButton1.enabled = false;
  window.SpeedButton4.enabled = false;
}
