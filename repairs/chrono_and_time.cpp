#include "repairs/chrono_and_time.h"

#include "app/RemedorMain.h"
#include "components/mRegistry.h"
#include "repairs/registry_writes.h"

namespace repairs {

namespace {
constexpr std::string_view kCorvaneKey = "\\Software\\VB and VBA Program Settings\\Corvane\\";
}

std::vector<std::string> ChronoManagerKeys(std::string_view last_profile) {
  return {std::string(kCorvaneKey) + "guest Settings",
          std::string(kCorvaneKey).append(last_profile).append(" Settings")};
}

const std::vector<std::string>& TimeServiceKeys() {
  static const std::vector<std::string> keys{
      "\\SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters\\",
      "\\SYSTEM\\ControlSet001\\Services\\W32Time\\Parameters\\",
      "\\SYSTEM\\ControlSet002\\Services\\W32Time\\Parameters\\",
      "\\SYSTEM\\ControlSet003\\Services\\W32Time\\Parameters\\"};
  return keys;
}

}  // namespace repairs

void TForm1::bButton6Click() {
  for (const std::string& key : repairs::ChronoManagerKeys(settings.LastProfileName)) {
    mRegistry5->Key = key;
    if (mRegistry5->ReadValue("UseChronoManager") != "1") continue;
    (void)repairs::WriteStringValues(os.registry(), platform::RootKey::kCurrentUser, key,
                                     {{"UseChronoManager", "0"}});
    window.bButton6.enabled = false;  // also when the key could not be opened
  }
}

void TForm1::bButton8Click() {
  for (const std::string& key : repairs::TimeServiceKeys()) {
    mRegistry7->Key = key;
    if (mRegistry7->ReadValue("Type") != "NoSync") continue;
    (void)repairs::WriteStringValues(
        os.registry(), platform::RootKey::kLocalMachine, key,
        {{"Type", "NTP"}, {"NtpServer", std::string(repairs::kNtpServer)}});
    window.bButton8.enabled = false;  // also when the key could not be opened
  }
}
