#include "survey/settings_rows.h"

#include "platform/text.h"

namespace survey {

namespace markup = analysis::markup;

void WriteChronoManagerRow(AnalysisReport& report, std::string_view chrono_manager_status) {
  report.AppendBoth(chrono_manager_status == kActive ? "Statut de ChronoManager : activé"
                                                     : "Statut de ChronoManager : Non activé");
}

void WriteXSimRow(AnalysisReport& report, std::string_view xsim_status) {
  constexpr std::string_view kPrefix = "Statut de l'option X-Sim : ";
  if (xsim_status == kActive) {
    report.AppendPair(std::string(kPrefix) + "activé",
                      std::string(kPrefix) + markup::Red("activé"));
  } else {
    report.AppendBoth(std::string(kPrefix) + "Non activé");
  }
}

void WriteSons2010Row(AnalysisReport& report, std::string_view sons2010_version) {
  constexpr std::string_view kPrefix = "Sons 2010 : ";
  if (!sons2010_version.empty()) {
    report.AppendPair(std::string(kPrefix) + "Installés",
                      std::string(kPrefix) + markup::Orange("Installés"));
  } else {
    report.AppendPair(std::string(kPrefix) + "Non installés",
                      std::string(kPrefix) + markup::Green("Non installés"));
  }
}

void WriteAudioDatRow(AnalysisReport& report, std::string_view audio_dat_status) {
  if (audio_dat_status != kAudioDatPresent) return;
  constexpr std::string_view kLine =
      "Présence d'un fichier Audio.dat à la racine du jeu (source de problème avec les Pacenotes)";
  report.AppendPair(std::string(kLine), markup::Red(kLine));
}

bool IsVistaOrSeven(std::string_view product_name) {
  return product_name.find("Vista") != std::string_view::npos ||
         product_name.find('7') != std::string_view::npos;
}

void WriteEaxRow(AnalysisReport& report, std::string_view product_name, std::string_view use_eax) {
  if (!IsVistaOrSeven(product_name) || platform::LowerCase(use_eax) != "true") return;
  constexpr std::string_view kLine = "Utilisation de EAX avec Vista / 7";
  report.AppendPair(std::string(kLine), markup::Orange(kLine));
}

std::optional<TimeRow> TimeRowFromType(std::string_view type) {
  if (type.empty()) return std::nullopt;
  TimeRow row;
  if (type == "NoSync") {
    row.screen = "Horloge Windows : Temps Internet désactivé";
    row.forum = markup::Orange("Temps Internet désactivé");
    row.enable_time_button = true;
  } else if (type == "NTP") {
    row.screen = "Horloge Windows : Temps Internet activé";
    row.forum = markup::Span(markup::kVertOpen, "Temps Internet activé");
  }
  return row;
}

TimeRow TimeRowFromServiceState(std::uint32_t state, bool vista_or_seven) {
  TimeRow row;
  std::string line;
  if (state == 0) {
    line = "Horloge Windows : L'état du service n'a paspu être lu.";
    row.forum = markup::Orange(line);
  } else if (state == 1 && vista_or_seven) {
    line = "Horloge Windows : Temps Internet désactivé (service)";
    row.forum = markup::Orange(line);
    row.enable_time_button = true;
  } else if (state == 4 && vista_or_seven) {
    line = "Horloge Windows : Temps Internet activé (service)";
    row.forum = markup::Green(line);
  } else {
    return row;
  }
  row.screen = line;
  return row;
}

void WriteTimeRow(AnalysisReport& report, const TimeRow& row) {
  if (row.screen) report.AppendScreen(*row.screen);
  if (row.forum) report.AppendForum(*row.forum);
}

void WriteRbrWorldRow(AnalysisReport& report) {
  constexpr std::string_view kPrefix = "Installation de Mod/Plugins multiples : ";
  constexpr std::string_view kText = "Présence de RBR-World dans le dossier de RBR/QUORVEL";
  report.AppendPair(std::string(kPrefix) + std::string(kText),
                    std::string(kPrefix) + markup::Red(kText));
}

std::string FileVersionString(const std::optional<platform::VersionInfo>& info) {
  if (!info || info->translations.empty()) return {};
  return info->String("FileVersion");
}

void WriteLibraryVersionRow(AnalysisReport& report, std::string_view library,
                            const std::optional<std::string>& version) {
  const std::string prefix = "Version de " + std::string(library) + " : ";
  if (version) {
    report.AppendBoth(prefix + *version);
  } else {
    const std::string line = prefix + "Fichier non présent";
    report.AppendPair(line, markup::Red(line));
  }
}

void WriteAudioFmodRow(AnalysisReport& report, const std::optional<std::string>& enable_fmod) {
  if (!enable_fmod) {
    constexpr std::string_view kLine = "AudioFMOD.ini : Fichier non présent";
    report.AppendPair(std::string(kLine), markup::Red(kLine));
  } else if (platform::LowerCase(*enable_fmod) == "true") {
    // The forum view reads "AudioFMODD" (sic), as the forum has always received it.
    report.AppendPair("AudioFMOD -> Activé", "AudioFMODD -> Activé");
  } else {
    report.AppendBoth("AudioFMOD -> Désactivé");
  }
}

}  // namespace survey
