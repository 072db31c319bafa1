#include "survey/antivirus.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "platform/text.h"

namespace survey {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kAntivirusTable{{
    {"CCSVCHST", "Anti-virus : Norton AntiVirus"},
    {"AVGUARD", "Anti-virus : Avira Antivir"},
    {"AVASTSVC", "Anti-virus : Avast!"},
    {"AVGCC", "Anti-virus : AVG"},
    {"NOD32KRN", "Anti-virus : ESET NOD32"},
    {"AVP", "Anti-virus : Kaspersky"},
    {"MSMPENG", "Anti-virus : Windows Defender"},
    {"MSSECES", "Anti-virus : Microsoft Security Essentials"},
}};

}  // namespace

std::optional<std::string> AntivirusLine(const std::vector<std::string>& process_list) {
  for (const std::string& entry : process_list) {
    std::string base = platform::UpperCase(entry);
    base.erase(std::min(base.find('.'), base.size()));
    for (const auto& [name, line] : kAntivirusTable) {
      if (base == name) return std::string(line);
    }
  }
  return std::nullopt;
}

}  // namespace survey
