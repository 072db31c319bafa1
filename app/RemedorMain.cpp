#include "app/RemedorMain.h"

#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "analysis/export.h"
#include "app/command_line.h"
#include "app/reference_lists.h"
#include "archive/SevenZip.h"
#include "archive/integrity.h"
#include "components/dir_instances.h"
#include "components/mGetNewVer.h"
#include "components/profile_instances.h"
#include "components/registry_instances.h"
#include "platform/text.h"
#include "runtime/lines.h"

namespace {

// Creates every instance of a table on its member, configured as on the
// window; `members` names the members in the table's order.
template <class Component, class Table, class Service>
void CreateInstances(const Table& table, std::initializer_list<std::unique_ptr<Component>*> members,
                     Service& service) {
  if (members.size() != table.size()) throw std::logic_error("instance table and members differ");
  auto member = members.begin();
  for (const auto& instance : table) {
    **member = std::make_unique<Component>(service);
    Configure(***member, instance);
    ++member;
  }
}

}  // namespace

TForm1::TForm1(platform::Platform& platform_services, platform::UserInterface& user_interface,
               app::EventLoop& event_loop, std::vector<std::string> command_line)
    : os(platform_services),
      ui(user_interface),
      loop(event_loop),
      arguments(std::move(command_line)) {
  // The framework's top-level handler: an error that escapes an event handler
  // is shown in the error box and ends only that handler.
  loop.SetErrorHandler([this](const std::string& message) {
    ui.ShowMessage(platform::MessageKind::kError, message);
  });
  Timer1 = loop.AddTimer(500, true, [this] { Timer1Timer(); });
  Timer2 = loop.AddTimer(2000, false, [this] { Timer2Timer(); });
  CreateInstances<TmRegistry>(
      kRegistryInstances,
      {&mRegistry1, &mRegistry2, &mRegistry3, &mRegistry4, &mRegistry5, &mRegistry6, &mRegistry7,
       &mRegistry8, &mRegistry10, &mRegistry11, &Autoremove},
      os.registry());
  CreateInstances<TProfile>(kProfileInstances, {&Profile1, &Profile2, &Profile3, &Profile4},
                            os.profile());
  CreateInstances<TBFC_Dir>(kDirInstances, {&BFC_Dir1, &BFC_Dir2, &BFC_Dir3, &BFC_Dir4, &BFC_Dir5},
                            os.files());
  // The archive component loads the 7-Zip library now: without it the
  // window, and so the tool, cannot start.
  SevenZip1 = std::make_unique<archive::TSevenZip>(os.files(), &ui);
  archive::ApplyFormValues(*SevenZip1);
  GetNewVer1 = std::make_unique<TmGetNewVer>(
      os, ui, [this](std::function<void()> work) { loop.Post(std::move(work)); },
      [this] { StopSystem(); });
  GetNewVer1->URLCurrVerFile =
      os.machine().VersionUrlOverride().value_or(new_version::kVersionFileUrl);
  GetNewVer1->SiteName = new_version::kSiteUrl;
  GetNewVer1->FailureDlg = true;
  GetNewVer1->DownloadDlg = true;
  GetNewVer1->TempFile = "c:\\version.txt";
  integrity = std::make_unique<archive::IntegrityCheck>(os.files(), *Profile1, *BFC_Dir4,
                                                        CorruptionLines, CorruptionFound);
  window.Memo2.caption = runtime::JoinLines(app::CommandLineHelpLines());
  ApplyHelpTexts();
}

TForm1::~TForm1() = default;

std::string TForm1::OwnFolder() {
  const std::string exe = os.machine().SelfExecutable();
  const auto slash = exe.find_last_of('\\');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

bool TForm1::RunsFromBuildFolder() {
  return platform::EqualsIgnoreCase(OwnFolder(), os.machine().BuildFolder());
}

void TForm1::DeleteFromOwnFolder(const std::string& name) {
  if (RunsFromBuildFolder()) return;
  (void)os.files().RemoveFile(OwnFolder() + name);  // failures are silent
}

void TForm1::DeleteOwnTextFiles() {
  for (const std::string& list : app::ShippedListFiles()) DeleteFromOwnFolder(list);
  for (const std::string& item : data_pack_files) {
    if (platform::EndsWith(platform::UpperCase(item), ".TXT")) DeleteFromOwnFolder(item);
  }
  DeleteFromOwnFolder(analysis::kResultsFileName);
}

namespace {

using Handler = void (TForm1::*)();

// The controls that take clicks and their handlers.
struct ClickBinding {
  std::string_view control;
  Handler handler;
};

constexpr ClickBinding kClickBindings[] = {
    {"SpeedButton3", &TForm1::SpeedButton3Click},
    {"CBBoutonGenerer", &TForm1::CBBoutonGenererClick},
    {"ButtonHelp", &TForm1::ButtonHelpClick},
    {"bButton4", &TForm1::bButton4Click},
    {"Panel3", &TForm1::Panel3Click},
    {"Memo2", &TForm1::Memo2Click},
    {"Alone", &TForm1::AloneClick},
    {"Publique", &TForm1::PubliqueClick},
    {"Championnat", &TForm1::ChampionnatClick},
    {"language", &TForm1::LanguageToggleClick},
    {"SpeedButton2", &TForm1::SpeedButton2Click},
    {"SpeedButton1", &TForm1::SimpleAnalysisClick},
    {"SpeedButton4", &TForm1::FullAnalysisClick},
    {"BoutonCorriger", &TForm1::BoutonCorrigerClick},
    {"bButton6", &TForm1::bButton6Click},
    {"bButton7", &TForm1::bButton7Click},
    {"bButton8", &TForm1::bButton8Click},
    {"bButton9", &TForm1::bButton9Click},
    {"bButton10", &TForm1::bButton10Click},
};

const ClickBinding* BindingOf(std::string_view name) {
  for (const ClickBinding& binding : kClickBindings) {
    if (binding.control == name) return &binding;
  }
  return nullptr;
}

}  // namespace

bool TForm1::CanClick(std::string_view control_name) {
  const app::Control* control = window.Find(control_name);
  return control != nullptr && BindingOf(control_name) != nullptr && control->enabled &&
         window.Shown(*control);
}

bool TForm1::Click(std::string_view control_name) {
  const ClickBinding* binding = BindingOf(control_name);
  if (binding == nullptr) return false;
  if (CanClick(control_name)) loop.RunHandler([this, binding] { (this->*binding->handler)(); });
  return true;
}
