#include "app/command_line.h"

#include "platform/text.h"

namespace app {

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  for (const std::string& argument : arguments) {
    const std::string key = platform::Utf8Substr(argument, 0, 4);
    auto is = [&](std::string_view name) { return platform::EqualsIgnoreCase(key, name); };
    if (is("/DIR")) {
      // The fifth character (normally ":") is skipped unseen.
      parsed.options.install_folder_preset = platform::Utf8Substr(argument, 5) + "\\";
    } else if (is("/ini")) {
      parsed.options.NoIniDump = true;
    } else if (is("/?") || is("/H")) {
      parsed.show_help = true;
    } else if (is("/VER")) {
      parsed.options.NoUpdateGate = true;
    }
  }
  return parsed;
}

const std::vector<std::string>& CommandLineHelpLines() {
  static const std::vector<std::string> lines = {
      "Paramètres utilisables : /DIR:, /ini , /?, /H",
      "",
      "/DIR:",
      "Permet de forcer le chemin de l'installation",
      "Utilisation de /DIR:  :",
      "/DIR:C:\\MonDossier\\MonSousDossier",
      "Pas de \"\\\" en fin de chemin, il sera rajouté par le logiciel.",
      "",
      "/ini ",
      "Empêche la lecture de RichardBurnsRally.ini",
      "",
      "/? et /H",
      "Affichage de cette aide",
      "",
      "Cliquer pour fermer cette aide",
      "",
  };
  return lines;
}

}  // namespace app
