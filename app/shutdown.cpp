// Quitting, the clean-up when the main window closes, and the end of the
// background work when it is destroyed.
#include "app/shutdown.h"

#include "app/RemedorMain.h"
#include "components/mRegistry.h"

namespace {

constexpr char kCleanUpWarning[] =
    "Certains fichiers temporaires n'ont pas pu être supprimés.\rSome temporary files could not be "
    "deleted.";

}  // namespace

std::string SelfRemovalCommand(std::string_view executable) {
  const std::string quote = "\"";
  return "C:\\Windows\\System32\\cmd.exe /C " + quote + "del " + quote + std::string(executable) +
         quote + quote;
}

void TForm1::WaitForCheckListJob() {
  if (!CheckListJob.Finished()) CheckListJob.RequestCancel();
  while (!CheckListJob.Finished()) loop.SleepAndProcess(100);
}

void TForm1::SpeedButton2Click() {
  WaitForCheckListJob();
  FormClose();
}

void TForm1::FormClose() {
  if (WindowClosed) return;
  WindowClosed = true;
  platform::FileSystem& files = os.files();
  DeleteOwnTextFiles();
  for (const std::string& item : DataPackFiles) DeleteFromOwnFolder(item);
  DeleteFromOwnFolder("qdm.ini");
  if (files.Exists(OwnFolder() + "FILESLIST.TXT")) {
    ui.ShowMessage(platform::MessageKind::kInformation, kCleanUpWarning);
  }
  // The entry deletes the tool itself at the next logon; never the build
  // folder's copy, from which nothing is deleted.
  if (!RunsFromBuildFolder()) {
    try {
      Autoremove->AddValue("DelRemedor", SelfRemovalCommand(os.machine().SelfExecutable()));
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
