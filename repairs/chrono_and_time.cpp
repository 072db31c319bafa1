#include "repairs/chrono_and_time.h"

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
