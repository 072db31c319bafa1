// Locating the game folder and the gates that refuse an unusable
// installation: the control centre running, no game folder, the old add-on
// layout, and an installed update other than the lists were made for.
#include "app/gates.h"

#include <algorithm>
#include <cctype>

#include "app/RemedorMain.h"
#include "components/mRegistry.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace app {

namespace {

bool IsWholeNumber(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Compares two whole numbers of any length without converting them.
int CompareWholeNumbers(std::string_view a, std::string_view b) {
  auto significant = [](std::string_view text) {
    const auto first = text.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
  };
  a = significant(a);
  b = significant(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

}  // namespace

bool IsAbsoluteFolder(std::string_view path) {
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':' && path[2] == '\\';
  return drive || platform::StartsWith(path, "\\\\");
}

int CompareUpdates(std::string_view supported, std::string_view installed) {
  if (IsWholeNumber(supported) && IsWholeNumber(installed)) {
    return CompareWholeNumbers(supported, installed);
  }
  // Byte by byte in the lists' code page; a prefix is the smaller.
  const std::string a = platform::Utf8ToCp1252(supported);
  const std::string b = platform::Utf8ToCp1252(installed);
  const int order = std::string_view(a).compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

std::string FolderNotFoundMessage(std::string_view install_folder) {
  return "Le chemin de l'installation de RBR/QUORVEL n'a pas pu être trouvé ou n'est pas "
         "valide.\r\rChemin trouvé : " +
         std::string(install_folder) + "\r\r" + "L'application va se fermer" + "\r\r" + "\r\r" +
         "The path of the install of RBR/QUORVEL was not found or is not valid" + "\r\r" +
         "The software will be closed.";
}

std::string UpdateMismatchMessage(std::string_view installed, std::string_view supported,
                                  bool lists_newer) {
  return "Cette version de l'utilitaire de dépannage n'est pas adaptée pour l'update installé "
         "sur votre machine.\r\r\nVersion de l'update installé : " +
         std::string(installed) + "\r\n" +
         "Version de l'update pris en compte par cet utilitaire : " + std::string(supported) +
         "\r\r\n" +
         (lists_newer
              ? "Veuillez mettre à jour QUORVEL en installant le(s) update(s) manquant(s)."
              : "Veuillez re-télécharger la dernière version de cet utilitaire et relancez le.");
}

}  // namespace app

namespace {

constexpr const char* kControlCentreExecutables[] = {"CorvaneAlone.exe", "CorvaneChampionships.exe",
                                                     "CorvanePublic.exe"};

constexpr char kControlCentreRunning[] =
    "Corvane est en cours d'utilisation.\rCet utilitaire va se fermer, fermez Corvane\ret "
    "relancez cet utilitaire";

constexpr char kOldLayout[] =
    "Erreur :\r\rCette version du programme de dépannage n'est pas prévue\rpour la version de "
    "QUORVEL qui est installée sur votre machine.\r\rPrésence d'un dossier QUORVEL2011 dans le "
    "dossier du jeu.\rQUORVEL doit être installé sur une installation vierge de RBR.\r\rLe "
    "logiciel va se fermer.";

// The older publisher's keys, taken when the newer one gives no usable folder.
constexpr char kEidosInstallPathKey[] = "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\InstallPath\\";
constexpr char kEidosInstalledUpdateKey[] =
    "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\QUORVEL\\InstalledUpdate";
constexpr char kEidosPackSelectionKey[] = "\\Software\\EIDOS\\Richard Burns Rally\\QUORVEL\\Packs";
constexpr char kEidosPackVersionsKey[] = "\\SOFTWARE\\EIDOS\\Richard Burns Rally\\QUORVEL\\Packs\\";
constexpr char kSciPackVersionsKey[] =
    "\\SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\Packs\\";

}  // namespace

void TForm1::Refuse(const std::string& message) {
  ui.ShowMessage(platform::MessageKind::kPlain, message);
  StopSystem();
}

bool TForm1::ControlCentreGate() {
  for (const char* exe : kControlCentreExecutables) {
    if (IsProcessRunning(exe)) {
      ui.ShowMessage(platform::MessageKind::kPlain, kControlCentreRunning);
      DeleteOwnTextFiles();
      StopSystem();
      return false;
    }
  }
  return true;
}

void TForm1::AimAddOnKeys() {
  mRegistry1->Key = keys.InstallPathKey;
  mRegistry2->Key = keys.PackSelectionKey;
  mRegistry3->Key = keys.InstalledUpdateKey;
  mRegistry6->Key = keys.PackVersionsKey;
}

bool TForm1::LocateInstallFolder() {
  InstallFolder = options.InstallFolderPreset;
  try {
    if (InstallFolder.empty()) {
      InstallFolder = mRegistry1->ReadValue("") + "\\";
      keys.PackVersionsKey = kSciPackVersionsKey;
      AimAddOnKeys();
    }
    if (platform::Utf8Length(InstallFolder) < 4) {
      keys.InstallPathKey = kEidosInstallPathKey;
      keys.InstalledUpdateKey = kEidosInstalledUpdateKey;
      keys.PackSelectionKey = kEidosPackSelectionKey;
      AimAddOnKeys();
      InstallFolder = mRegistry1->ReadValue("") + "\\";
      keys.PackVersionsKey = kEidosPackVersionsKey;
      AimAddOnKeys();
    }
    // A missing value leaves "\", the root of whatever drive is current: no game folder.
    if (!app::IsAbsoluteFolder(InstallFolder) || !os.files().IsFolder(InstallFolder)) {
      Refuse(app::FolderNotFoundMessage(InstallFolder));
      return false;
    }
  } catch (const std::exception&) {
    Refuse(app::FolderNotFoundMessage(InstallFolder));
    return false;
  }
  return true;
}

bool TForm1::OldLayoutGate() {
  if (!os.files().IsFolder(InstallFolder + "QUORVEL2012")) return true;
  Refuse(kOldLayout);
  return false;
}

void TForm1::ReadInstalledUpdate() { InstalledUpdate = mRegistry3->ReadValue("Version"); }

void TForm1::UpdateGateJobWork() {
  std::string supported;
  for (std::size_t i = 0; i < ReferenceLines.size(); ++i) {
    ProcessPendingEvents();
    if (UpdateGateJob.CancelRequested()) return;
    const std::string& line = ReferenceLines[i];
    if (platform::StartsWith(line, "//")) continue;
    if (platform::StartsWith(line, "µ")) {
      supported = platform::Utf8Substr(line, 1, 6);
      break;
    }
  }
  if (options.NoUpdateGate) return;
  const int order = app::CompareUpdates(supported, InstalledUpdate);
  if (order == 0) return;
  ui.ShowMessage(platform::MessageKind::kPlain,
                 app::UpdateMismatchMessage(InstalledUpdate, supported, order > 0));
  if (!CheckListJob.Finished()) CheckListJob.RequestCancel();
  DeleteOwnTextFiles();
  if (os.files().Exists(OwnFolder() + "qdm.ini")) DeleteFromOwnFolder("qdm.ini");
  StopSystem();
}
