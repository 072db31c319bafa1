#include "repairs/window_reset.h"

#include "app/RemedorMain.h"
#include "components/mRegistry.h"
#include "repairs/registry_writes.h"

namespace repairs {

namespace {

struct EditionLayout {
  std::string_view key_prefix;
  std::vector<std::string_view> windows;  // each has Left, Top and Show
};

const EditionLayout& Layout(Edition edition) {
  static const EditionLayout alone{"\\Software\\VB and VBA Program Settings\\CorvaneAlone\\",
                                   {"Car", "Chrono", "Index", "Info", "Manager", "MyTimes"}};
  static const EditionLayout public_edition{
      "\\Software\\VB and VBA Program Settings\\CorvanePublic\\",
      {"Car", "Chrono", "Index", "Info", "Manager", "MyTimes", "Public", "Roadbooks"}};
  static const EditionLayout championships{
      "\\Software\\VB and VBA Program Settings\\CorvaneChampionships\\",
      {"Car", "Chrono", "Index", "Info", "Live", "Manager", "MyTimes", "Roadbooks"}};
  switch (edition) {
    case Edition::kAlone:
      return alone;
    case Edition::kPublic:
      return public_edition;
    case Edition::kChampionships:
      break;
  }
  return championships;
}

}  // namespace

std::vector<std::string> WindowPositionValues(Edition edition) {
  std::vector<std::string> names;
  for (std::string_view window : Layout(edition).windows) {
    for (std::string_view part : {"Left", "Top", "Show"}) {
      names.push_back(std::string("frm").append(window).append(part));
    }
  }
  names.push_back("frmRBRLeft");
  names.push_back("frmRBRTop");
  return names;
}

std::string EditionSettingsKey(Edition edition, std::string_view profile, std::string_view number) {
  return std::string(Layout(edition).key_prefix)
      .append(number)
      .append("-")
      .append(profile)
      .append(" Settings");
}

}  // namespace repairs

void TForm1::bButton7Click() { window.Panel1.visible = true; }

void TForm1::bButton10Click() { window.Panel1.visible = false; }

void TForm1::bButton9Click() {
  // The panel closes also when a write error ends the reset.
  struct HidePanel {
    app::Control& panel;
    ~HidePanel() { panel.visible = false; }
  } hide{window.Panel1};
  const std::string profile = mRegistry8->ReadValue("Profile");
  const std::string number = mRegistry8->ReadValue("Number");
  const std::pair<const app::Control*, repairs::Edition> editions[] = {
      {&window.Alone, repairs::Edition::kAlone},
      {&window.Publique, repairs::Edition::kPublic},
      {&window.Championnat, repairs::Edition::kChampionships}};
  for (const auto& [box, edition] : editions) {
    if (!box->checked) continue;
    repairs::StringValues values;
    for (std::string& name : repairs::WindowPositionValues(edition))
      values.emplace_back(std::move(name), "0");
    // A key that cannot be created is skipped without a message.
    (void)repairs::WriteStringValues(os.registry(), platform::RootKey::kCurrentUser,
                                     repairs::EditionSettingsKey(edition, profile, number), values);
  }
}
