#include "survey/plugin_table.h"

#include <array>
#include <utility>

#include "platform/text.h"

namespace survey {

namespace {

// Searched from the top; two names share the BobsTrackBuilder label.
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kKnownPlugins{{
    {"Z.dll", "- Correctif ZModeler ( "},
    {"eq_mix.dll", "- Equalizer ( "},
    {"RBRTestPlugin.dll", "- Plugin de test RBR ( "},
    {"light.dll", "- Mode nuit ( "},
    {"rbr_rx.dll", "- BobsTrackBuilder ( "},
    {"RBRTM.dll", "- Plugin Tchèque ( "},
    {"rbruth2_jul_14.dll", "- Utilitaire de configuration des Setups en cours de jeu ( "},
    {"shifter.dll", "- Utilitaire de gestion de boite en H ( "},
    {"RBRSingleRally.dll", "- Plugin \"Single rally\" ( "},
    {"ZZZrbr_rx.dll", "- BobsTrackBuilder ( "},
    {"FixUp.dll", "- FixUp ( "},
    {"PaceNote.dll", "- PaceNote ( "},
    {"GaugerPlugin.dll", "- Compteur ( "},
    {"Gauge_server.dll", "- Gauge Server Android ( "},
    {"DashMeterCom.dll", "- DashMeterPro Android ( "},
    {"PhysicsNG.dll", "- Physics NGP ( "},
    {"LogykalPlugin.dll", "- Logykal Plugin ( "},
}};

}  // namespace

std::optional<std::string_view> KnownPluginLabel(std::string_view file_name) {
  for (const auto& [name, label] : kKnownPlugins) {
    if (platform::EqualsIgnoreCase(name, file_name)) return label;
  }
  return std::nullopt;
}

void WritePluginLines(analysis::AnalysisReport& report, PluginFolder folder,
                      const std::vector<std::string>& plugin_names) {
  report.AppendBoth(analysis::Rule());
  report.AppendBoth("Liste des plugins installés : ");
  if (folder == PluginFolder::kMissing) {
    report.AppendBoth(" - Le dossier \"\\Plugins\" n'existe pas !.");
    return;
  }
  if (folder == PluginFolder::kUnreadable) {
    report.AppendBoth(" - Le dossier \"\\Plugins\" n'a pas pu être lu !.");
    return;
  }
  if (plugin_names.empty()) {
    report.AppendBoth(" - Le dossier \"\\Plugins\" ne contient aucun plugin !.");
    return;
  }
  for (const std::string& name : plugin_names) {
    if (const auto label = KnownPluginLabel(name)) {
      report.AppendBoth(std::string(*label) + name + " )");
    } else {
      const std::string line = "- >>> Plugin inconnu : " + name + " <<<";
      report.AppendPair(line, analysis::markup::Orange(line));
    }
  }
}

void WriteCheatToolNotice(analysis::AnalysisReport& report) {
  report.AppendPair(analysis::Rule(), analysis::Rule());
  report.AppendPair(">>>> Logiciel Cheat Mode de JORIK installé",
                    analysis::markup::Red("Logiciel Cheat Mode de JORIK installé"));
  report.AppendPair(analysis::Rule(), analysis::Rule());
}

}  // namespace survey
