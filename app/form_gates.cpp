// TForm1's gates: locating the game folder and refusing an unusable
// installation (the control centre running, no game folder, the old add-on
// layout, an installed update other than the lists were made for).
#include "app/RemedorMain.h"
#include "app/gates.h"
#include "app/reference_lists.h"
#include "components/mRegistry.h"
#include "platform/text.h"

void TForm1::Refuse(const std::string& message) {
  ui.ShowMessage(platform::MessageKind::kPlain, message);
  StopSystem();
}

bool TForm1::SingleRunGate() {
  if (os.machine().ClaimSingleRun()) return true;
  Refuse(app::kAlreadyRunning);
  return false;
}

bool TForm1::ControlCentreGate() {
  for (const char* exe : app::kControlCentreExecutables) {
    if (IsProcessRunning(exe)) {
      ui.ShowMessage(platform::MessageKind::kPlain, app::kControlCentreRunning);
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
  InstallFolder = options.install_folder_preset;
  // Every check builds its paths by appending to the folder: it must be the
  // plain form, which the profile and listing functions also take.
  const std::optional<std::string> plain = app::PlainFolderPath(InstallFolder);
  if (!plain) {
    Refuse(app::FolderNotFoundMessage(InstallFolder));
    return false;
  }
  InstallFolder = *plain;
  try {
    if (InstallFolder.empty()) {
      InstallFolder = mRegistry1->ReadValue("") + "\\";
      keys.PackVersionsKey = kSciGamesKeys.pack_versions;
      AimAddOnKeys();
    }
    // The older publisher's keys, taken when the newer one gives no usable folder.
    if (platform::Utf8Length(InstallFolder) < 4) {
      keys.InstallPathKey = kEidosKeys.install_path;
      keys.InstalledUpdateKey = kEidosKeys.installed_update;
      keys.PackSelectionKey = kEidosKeys.pack_selection;
      AimAddOnKeys();
      InstallFolder = mRegistry1->ReadValue("") + "\\";
      keys.PackVersionsKey = kEidosKeys.pack_versions;
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
  Refuse(app::kOldLayoutMessage);
  return false;
}

void TForm1::ReadInstalledUpdate() { InstalledUpdate = mRegistry3->ReadValue("Version"); }

void TForm1::UpdateGateJobWork() {
  std::string supported;
  for (std::size_t i = 0; i < ReferenceLines.size(); ++i) {
    ProcessPendingEvents();
    if (UpdateGateJob.CancelRequested()) return;
    const std::string& line = ReferenceLines[i];
    if (app::IsCommentLine(line)) continue;
    if (app::IsUpdateLine(line)) {
      supported = app::UpdateOfLine(line, app::kGateUpdateLength);
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
