#include "analysis/car_packs.h"

#include <charconv>
#include <map>
#include <optional>

#include "platform/text.h"
#include "runtime/errors.h"
#include "runtime/str_to_int.h"

namespace analysis {

namespace {

using markup::Green;
using markup::Red;

class PackSection {
 public:
  PackSection(AnalysisReport& report, platform::UserInterface& ui) : report_(report), ui_(ui) {}
  // The rule and the title, before the first line of the section.
  void Open() {
    if (open_) return;
    report_.AppendBoth(Rule());
    report_.AppendBoth("Vérification des packs de voitures");
    open_ = true;
  }
  // A value that does not convert: its message is shown, the report names it.
  void Unreadable(const runtime::ConvertError& error, const std::string& text) {
    ui_.ShowMessage(platform::MessageKind::kError, error.what());
    Open();
    report_.AppendPair(text, Red(text));
    ++report_.ProblemCount;
  }

 private:
  AnalysisReport& report_;
  platform::UserInterface& ui_;
  bool open_ = false;
};

std::string ReadConfig(TProfile& profile, const std::string& section, const std::string& key) {
  profile.Category = section;
  profile.KeyName = key;
  (void)profile.Execute();  // a missing key reads as the default
  return profile.DataString.str();
}

constexpr std::string_view kPackKeyPrefix = "pack";

// n of a key named "pack" + n (n in decimal, without leading zeros) within
// 1..count, as the reads of "pack1" to "packN" would find it.
std::optional<std::int32_t> PackPlace(std::string_view key, std::int32_t count) {
  if (key.size() <= kPackKeyPrefix.size() ||
      !platform::EqualsIgnoreCase(key.substr(0, kPackKeyPrefix.size()), kPackKeyPrefix)) {
    return std::nullopt;
  }
  const std::string_view digits = key.substr(kPackKeyPrefix.size());
  if (digits.front() == '0') return std::nullopt;
  std::int32_t place = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), place);
  if (error != std::errc() || end != digits.data() + digits.size() || place > count) {
    return std::nullopt;
  }
  return place;
}

// The names of the list that the file can hold: each key of "Packs" that is
// one of "pack1" to "packN", read as the reads in order would read it. Empty
// names are left out: they read as the names the file does not hold.
std::map<std::int32_t, std::string> ReadPackNames(TProfile& config, std::int32_t count,
                                                  const std::function<void()>& process_events) {
  std::map<std::int32_t, std::string> named;
  config.Category = "Packs";
  for (const std::string& key : config.KeyNames()) {
    const std::optional<std::int32_t> place = PackPlace(key, count);
    if (!place || named.contains(*place)) continue;
    process_events();
    std::string pack =
        ReadConfig(config, "Packs", std::string(kPackKeyPrefix) + std::to_string(*place));
    if (!pack.empty()) named.emplace(*place, std::move(pack));
  }
  return named;
}

// Steps 3.1 to 3.4 for one pack: true when it is not installed.
bool CheckPack(AnalysisReport& report, PackSection& section, TProfile& config,
               TmRegistry& pack_versions, const std::string& pack) {
  const std::string required = ReadConfig(config, pack, "version");
  const std::string installed = pack_versions.ReadValue(pack);
  if (installed == "0" || installed.empty()) return true;
  bool outdated = false;
  try {
    outdated = runtime::StrToInt(installed) < runtime::StrToInt(required);
  } catch (const runtime::ConvertError& error) {
    section.Unreadable(error, "Version illisible du pack de voitures " + pack +
                                  ". Version installée : " + installed +
                                  " version requise : " + required);
    return false;
  }
  if (!outdated) return false;
  section.Open();
  const std::string head = "Pack de voitures non à jour : " + pack + ". Version installée : ";
  report.AppendPair(head + installed + " version requise : " + required,
                    head + Red(installed) + " version requise : " + Green(required));
  ++report.ProblemCount;
  return false;
}

}  // namespace

void VerifPacks(AnalysisReport& report, TProfile& config, TmRegistry& pack_versions,
                std::string_view install_folder, platform::UserInterface& ui,
                const std::function<void()>& process_events) {
  config.IniFileName = std::string(install_folder).append(kPackConfigFile);
  PackSection section(report, ui);

  const std::string count_text = ReadConfig(config, "Nbre_Packs", "nbre");
  std::int32_t count = 0;
  try {
    count = runtime::StrToInt(count_text);
  } catch (const runtime::ConvertError& error) {
    section.Unreadable(error,
                       "Nombre de packs de voitures illisible dans Config_P.ini : " + count_text);
    return;
  }

  // The pack-name list holds `count` names, "pack1" to "packN" of "Packs",
  // but the section holds only so many keys: every other name reads as empty,
  // and each run of them is checked once and counted for all of its names, so
  // a count of 2147483647 costs what the file holds.
  const std::map<std::int32_t, std::string> named = ReadPackNames(config, count, process_events);
  if (count > 0) process_events();

  // Wider than the count: the place after the largest one is counted too.
  std::int64_t not_installed = 0;
  std::int64_t next = 1;  // the next place of the pack-name list
  const auto check = [&](const std::string& pack, std::int64_t names) {
    process_events();
    if (CheckPack(report, section, config, pack_versions, pack)) not_installed += names;
  };
  for (const auto& [place, pack] : named) {
    if (place > next) check(std::string(), place - next);
    check(pack, 1);
    next = std::int64_t{place} + 1;
  }
  if (count >= next) check(std::string(), count - next + 1);

  if (not_installed == count) {
    section.Open();
    report.AppendPair("Aucun pack de voitures n'est installé",
                      Red("Aucun pack de voitures n'est installé."));
    ++report.ProblemCount;
  }
}

void VerifPackTracks(AnalysisReport& report, TmRegistry& stage_pack) {
  if (stage_pack.ReadValue("Install") != "0") return;
  report.AppendBoth(Rule());
  report.AppendBoth("Vérification du pack de spéciales");
  report.AppendPair("Le pack de spéciales n'est pas installé",
                    Red("Le pack de spéciales n'est pas installé."));
  ++report.ProblemCount;
}

}  // namespace analysis
