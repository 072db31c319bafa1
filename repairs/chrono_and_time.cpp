#include "repairs/chrono_and_time.h"

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

bool SwitchOffChronoManager(TmRegistry& settings, platform::Registry& registry,
                            const std::string& key) {
  settings.Key = key;
  if (settings.ReadValue("UseChronoManager") != "1") return false;
  // A key that cannot be opened is skipped without a message.
  (void)WriteStringValues(registry, rkHKEY_CURRENT_USER, key, {{"UseChronoManager", "0"}});
  return true;
}

bool SwitchOnInternetTime(TmRegistry& time_service, platform::Registry& registry,
                          const std::string& key) {
  time_service.Key = key;
  if (time_service.ReadValue("Type") != "NoSync") return false;
  // A key that cannot be opened is skipped without a message.
  (void)WriteStringValues(registry, rkHKEY_LOCAL_MACHINE, key,
                          {{"Type", "NTP"}, {"NtpServer", std::string(kNtpServer)}});
  return true;
}

}  // namespace repairs
