// TForm1's end: quitting, the clean-up when the main window closes, and the
// end of the background work when it is destroyed.
#include "app/RemedorMain.h"
#include "app/reference_lists.h"
#include "app/shutdown.h"
#include "components/mRegistry.h"

void TForm1::WaitForCheckListJob() {
  if (!CheckListJob.Finished()) CheckListJob.RequestCancel();
  while (!CheckListJob.Finished()) loop.SleepAndProcess(100);
}

void TForm1::SpeedButton2Click() {
  WaitForCheckListJob();
  FormClose();
}

void TForm1::FormClose() {
  if (window_closed) return;
  window_closed = true;
  platform::FileSystem& files = os.files();
  DeleteOwnTextFiles();
  for (const std::string& item : data_pack_files) DeleteFromOwnFolder(item);
  DeleteFromOwnFolder("qdm.ini");
  if (files.Exists(OwnFolder() + std::string(app::kGeneralList))) {
    ui.ShowMessage(platform::MessageKind::kInformation, app::kCleanUpWarning);
  }
  // The entry deletes the tool itself at the next logon; never the build
  // folder's copy, from which nothing is deleted.
  if (!RunsFromBuildFolder()) {
    try {
      Autoremove->AddValue("DelRemedor", app::SelfRemovalCommand(os.machine().SelfExecutable()));
      (void)Autoremove->WriteValues();
    } catch (const std::exception&) {
      // A failure to register the self-removal is silent.
    }
  }
  StopSystem();
}

void TForm1::FormDestroy() {
  if (!CheckListJob.Finished()) CheckListJob.RequestCancel();
  while (!CheckListJob.Finished()) {
    loop.Sleep(100);
    loop.ProcessPendingEvents();
  }
}
