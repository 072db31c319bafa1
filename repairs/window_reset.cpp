#include "repairs/window_reset.h"

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

void ResetWindowPositions(TmRegistry& last_profile, platform::Registry& registry,
                          const std::vector<Edition>& editions) {
  const std::string profile = last_profile.ReadValue("Profile");
  const std::string number = last_profile.ReadValue("Number");
  for (const Edition edition : editions) {
    StringValues values;
    for (std::string& name : WindowPositionValues(edition))
      values.emplace_back(std::move(name), "0");
    // A key that cannot be created is skipped without a message.
    (void)WriteStringValues(registry, rkHKEY_CURRENT_USER,
                            EditionSettingsKey(edition, profile, number), values);
  }
}

}  // namespace repairs
