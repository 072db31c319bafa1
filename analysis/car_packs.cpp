#include "analysis/car_packs.h"

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

  std::vector<std::string> packs;
  for (std::int32_t n = 1; n <= count; ++n) {
    packs.push_back(ReadConfig(config, "Packs", "pack" + std::to_string(n)));
  }
  if (count > 0) process_events();

  std::int32_t not_installed = 0;
  for (const std::string& pack : packs) {
    const std::string required = ReadConfig(config, pack, "version");
    const std::string installed = pack_versions.ReadValue(pack);
    if (installed == "0" || installed.empty()) {
      ++not_installed;
      continue;
    }
    bool outdated = false;
    try {
      outdated = runtime::StrToInt(installed) < runtime::StrToInt(required);
    } catch (const runtime::ConvertError& error) {
      section.Unreadable(error, "Version illisible du pack de voitures " + pack +
                                    ". Version installée : " + installed +
                                    " version requise : " + required);
      continue;
    }
    if (!outdated) continue;
    section.Open();
    const std::string head = "Pack de voitures non à jour : " + pack + ". Version installée : ";
    report.AppendPair(head + installed + " version requise : " + required,
                      head + Red(installed) + " version requise : " + Green(required));
    ++report.ProblemCount;
  }

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
