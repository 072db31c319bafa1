// TForm1's reference lists: loading the reference lines at start-up, the job
// that copies them into the check list, and the removal of the shipped lists.
#include "app/RemedorMain.h"
#include "app/reference_lists.h"
#include "components/mRegistry.h"
#include "runtime/lines.h"

void TForm1::LoadReferenceLines() {
  platform::FileSystem& files = os.files();
  auto append = [&](std::string_view list) {
    // Pack lists are opened by their bare name, in the current folder.
    const std::vector<std::string> lines = runtime::LoadLines(files, list);
    ReferenceLines.insert(ReferenceLines.end(), lines.begin(), lines.end());
  };
  ReferenceLines = runtime::LoadLines(files, OwnFolder() + std::string(app::kGeneralList));
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
