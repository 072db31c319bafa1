// The car-pack and stage-pack checks that open the analysis: installed car
// packs older than the add-on requires, no car pack at all, and the stage pack
// marked as not installed.
//
// A count or a version that is not a whole number does not end the analysis:
// the conversion error is shown, a red line names the value and counts as a
// problem, and the run goes on, so the player still gets a closed report on
// the clipboard.
#include "app/RemedorMain.h"
#include "components/Profil.h"
#include "components/mRegistry.h"
#include "runtime/errors.h"
#include "runtime/str_to_int.h"

namespace {

using analysis::markup::Green;
using analysis::markup::Red;

class PackSection {
 public:
  explicit PackSection(TForm1& form) : form_(form) {}
  // The rule and the title, before the first line of the section.
  void Open() {
    if (open_) return;
    form_.report.AppendBoth(analysis::Rule());
    form_.report.AppendBoth("Vérification des packs de voitures");
    open_ = true;
  }
  // A value that does not convert: its message is shown, the report names it.
  void Unreadable(const runtime::ConvertError& error, const std::string& text) {
    form_.ui.ShowMessage(platform::MessageKind::kError, error.what());
    Open();
    form_.report.AppendPair(text, Red(text));
    ++form_.report.ProblemCount;
  }

 private:
  TForm1& form_;
  bool open_ = false;
};

std::string ReadConfig(TProfile& profile, const std::string& section, const std::string& key) {
  profile.Category = section;
  profile.KeyName = key;
  (void)profile.Execute();  // a missing key reads as the default
  return profile.DataString.str();
}

}  // namespace

void TForm1::VerifPacks() {
  TProfile& config = *Profile3;
  config.IniFileName = InstallFolder + "QUORVEL\\Config_P.ini";
  PackSection section(*this);

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
  if (count > 0) ProcessPendingEvents();

  std::int32_t not_installed = 0;
  for (const std::string& pack : packs) {
    const std::string required = ReadConfig(config, pack, "version");
    const std::string installed = mRegistry6->ReadValue(pack);
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

void TForm1::VerifPackTracks() {
  if (mRegistry10->ReadValue("Install") != "0") return;
  report.AppendBoth(analysis::Rule());
  report.AppendBoth("Vérification du pack de spéciales");
  report.AppendPair("Le pack de spéciales n'est pas installé",
                    Red("Le pack de spéciales n'est pas installé."));
  ++report.ProblemCount;
}
