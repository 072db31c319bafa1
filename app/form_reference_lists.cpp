// TForm1's reference lists: loading the reference lines at start-up, the job
// that copies them into the check list, and the removal of the shipped lists.
#include "app/RemedorMain.h"
#include "app/reference_lists.h"
#include "components/mRegistry.h"
#include "runtime/lines.h"

void TForm1::LoadReferenceLines() {
  platform::FileSystem& files = os.files();
  // Every list ships beside the executable and is opened there, whatever the
  // current folder (a shortcut's "Start in", a command prompt elsewhere).
  const std::string own_folder = OwnFolder();
  auto append = [&](std::string_view list) {
    const std::vector<std::string> lines =
        runtime::LoadLines(files, own_folder + std::string(list));
    ReferenceLines.insert(ReferenceLines.end(), lines.begin(), lines.end());
  };
  ReferenceLines = runtime::LoadLines(files, own_folder + std::string(app::kGeneralList));
  if (app::SelectsList(mRegistry2->ReadValue(std::string(app::kAllPacksValue)))) {
    append(std::string(app::kAllPacksValue) + ".TXT");
  } else {
    for (const std::string& pack : app::SinglePackNames()) {
      if (app::SelectsList(mRegistry2->ReadValue(pack))) append(pack + ".TXT");
    }
    for (const std::string& ngp : app::NgpValueNames()) {
      if (app::SelectsList(mRegistry2->ReadValue(ngp))) {
        append(app::kNgpList);
        break;
      }
    }
  }
  SupportedUpdate = app::SupportedUpdateOf(ReferenceLines);
  ApplyHelpTexts();
}

void TForm1::RemoveShippedLists() { DeleteOwnTextFiles(); }

void TForm1::CheckListJobWork() {
  for (std::size_t i = 0; i < ReferenceLines.size(); ++i) {
    ProcessPendingEvents();
    if (CheckListJob.CancelRequested()) return;
    const std::string& line = ReferenceLines[i];
    if (app::IsCommentLine(line) || app::IsUpdateLine(line)) continue;
    window.CheckList.push_back({line, false});
  }
}
