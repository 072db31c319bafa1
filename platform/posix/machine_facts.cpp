#include "platform/posix/machine_facts.h"

#include <algorithm>
#include <array>

#include "platform/profile_rules.h"
#include "platform/text.h"

namespace platform::posix {

namespace {

// The sections a facts file may hold and their keys; an empty list takes any
// key (a drive, a service, an operation).
struct SectionRule {
  std::string_view name;
  std::vector<std::string_view> keys;
};

const std::array<SectionRule, 11>& Sections() {
  static const std::array<SectionRule, 11> sections{{
      {"Self", {"Exe", "FileVersion", "BuildFolder"}},
      {"Locale",
       {"LanguageName", "DecimalSeparator", "DateSeparator", "TimeSeparator", "Weekdays"}},
      {"Clock", {"Now"}},
      {"Processor", {"Brand", "PhysicalCores"}},
      {"Memory", {"Total", "Free", "Fail"}},
      {"Display", {"Device0", "Monitors", "Width", "Height"}},
      {"Disks", {}},
      {"Windows", {"Folder", "ServicePack", "Xp64", "Administrator"}},
      {"Services", {}},
      {"Network", {"VersionURL"}},
      {"Faults", {}},
  }};
  return sections;
}

const SectionRule* RuleOf(std::string_view section) {
  for (const SectionRule& rule : Sections()) {
    if (EqualsIgnoreCase(rule.name, section)) return &rule;
  }
  return nullptr;
}

bool KnowsKey(const SectionRule& rule, std::string_view key) {
  return rule.keys.empty() || std::any_of(rule.keys.begin(), rule.keys.end(),
                                          [&](auto known) { return EqualsIgnoreCase(known, key); });
}

// A value as a message shows it: quoted, and cut when long.
std::string Shown(std::string_view value) {
  constexpr std::size_t kShownLength = 60;
  const std::string cut = Utf8Substr(value, 0, kShownLength);
  return "\"" + cut + (cut.size() < value.size() ? "...\"" : "\"");
}

}  // namespace

Result<MachineFacts> MachineFacts::Parse(std::string_view bytes, std::string file) {
  MachineFacts facts;
  facts.file_ = std::move(file);
  const auto wrong = [&](int line, const std::string& what) {
    return facts.Wrong("line " + std::to_string(line) + ": " + what);
  };
  Section* section = nullptr;
  std::string section_name;
  for (ProfileFileLine& line : ReadProfileFileLines(bytes)) {
    switch (line.kind) {
      case ProfileFileLine::Kind::kIgnored:
        return wrong(line.number, "neither a section, a key nor a comment: " + Shown(line.name));
      case ProfileFileLine::Kind::kSection: {
        const SectionRule* rule = RuleOf(line.name);
        if (rule == nullptr) return wrong(line.number, "unknown section [" + line.name + "]");
        section_name = std::string(rule->name);
        const auto [at, added] = facts.sections_.try_emplace(UpperCase(section_name));
        if (!added) return wrong(line.number, "section [" + section_name + "] given twice");
        section = &at->second;
        facts.order_[UpperCase(section_name)];
        break;
      }
      case ProfileFileLine::Kind::kKey: {
        if (line.name.starts_with(';')) break;  // a comment
        if (section == nullptr) {
          return wrong(line.number, "a key before the first section: " + Shown(line.name));
        }
        const std::string where = "[" + section_name + "] " + line.name;
        if (!KnowsKey(*RuleOf(section_name), line.name)) {
          return wrong(line.number, where + ": unknown key");
        }
        if (!line.value) return wrong(line.number, where + ": no \"=\" and no value");
        Entry entry{line.name, std::move(*line.value), line.number};
        if (!section->try_emplace(UpperCase(line.name), std::move(entry)).second) {
          return wrong(line.number, where + ": key given twice");
        }
        facts.order_[UpperCase(section_name)].push_back(line.name);
        break;
      }
    }
  }
  if (facts.sections_.empty())
    return facts.Wrong("the file holds no section: it is empty or not a facts file");
  return facts;
}

const MachineFacts::Entry* MachineFacts::Find(std::string_view section,
                                              std::string_view key) const {
  const auto in = sections_.find(UpperCase(section));
  if (in == sections_.end()) return nullptr;
  const auto at = in->second.find(UpperCase(key));
  return at == in->second.end() ? nullptr : &at->second;
}

std::optional<std::string> MachineFacts::Text(std::string_view section,
                                              std::string_view key) const {
  const Entry* entry = Find(section, key);
  if (entry == nullptr) return std::nullopt;
  return entry->value;
}

std::vector<std::string> MachineFacts::Keys(std::string_view section) const {
  const auto at = order_.find(UpperCase(section));
  return at == order_.end() ? std::vector<std::string>() : at->second;
}

std::optional<bool> MachineFacts::Flag(std::string_view section, std::string_view key) {
  const Entry* entry = Find(section, key);
  if (entry == nullptr) return std::nullopt;
  if (entry->value == "0" || entry->value == "1") return entry->value == "1";
  Refuse(section, key, "0 or 1");
  return std::nullopt;
}

void MachineFacts::Refuse(std::string_view section, std::string_view key,
                          std::string_view expected) {
  if (error_) return;
  const Entry* entry = Find(section, key);
  const int line = entry ? entry->line : 0;
  error_ = Wrong("line " + std::to_string(line) + ": [" + std::string(section) + "] " +
                 (entry ? entry->name : std::string(key)) + " = " +
                 Shown(entry ? entry->value : std::string()) + ": not " + std::string(expected));
}

Error MachineFacts::Wrong(std::string detail) const {
  return MakeError(Errc::kInvalidData, "ReadMachineFacts", file_, 0, std::move(detail));
}

}  // namespace platform::posix
