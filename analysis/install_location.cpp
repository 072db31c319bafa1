#include "analysis/install_location.h"

#include "platform/text.h"

namespace analysis {

namespace {

// The first characters of text, upper-cased, equal the upper-case prefix.
bool StartsWithUpper(std::string_view text, std::string_view prefix) {
  return platform::UpperCase(platform::Utf8Substr(text, 0, platform::Utf8Length(prefix))) == prefix;
}

}  // namespace

std::optional<std::string> ProtectedInstallSystem(std::string_view product_name,
                                                  std::string_view install_folder) {
  struct System {
    std::string_view product_prefix, name;
  };
  constexpr System kSystems[] = {{"WINDOWS VISTA", "Windows Vista"}, {"WINDOWS 7", "Windows 7"}};
  constexpr std::string_view kProtected[] = {"C:\\PROGRAM FILES\\", "C:\\PROGRAM FILES (X86)",
                                             "C:\\USERS", "C:\\UTILISATEURS"};
  for (const System& system : kSystems) {
    if (!StartsWithUpper(product_name, system.product_prefix)) continue;
    for (std::string_view prefix : kProtected) {
      if (StartsWithUpper(install_folder, prefix)) return std::string(system.name);
    }
  }
  return std::nullopt;
}

}  // namespace analysis
