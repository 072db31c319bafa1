#include "survey/machine_rows.h"

#include "platform/text.h"
#include "runtime/errors.h"
#include "runtime/str_to_int.h"
#include "survey/number_format.h"

namespace survey {

namespace markup = analysis::markup;

namespace {

constexpr std::string_view kDiskPrefix = "Espace libre sur le lecteur où se trouve RBR/QUORVEL : ";

// The text up to its first NUL, cut to `limit` characters.
std::string FixedField(std::string_view text, std::size_t limit) {
  text = text.substr(0, text.find('\0'));
  return platform::Utf8Substr(text, 0, limit);
}

// A resolution text as a number, or nullopt when it is not a whole number.
std::optional<std::int32_t> ResolutionValue(std::string_view text) {
  try {
    return runtime::StrToInt(text);
  } catch (const runtime::ConvertError&) {
    return std::nullopt;
  }
}

bool TooLarge(std::optional<std::int32_t> value, int screen_size) {
  return value && *value >= 0 && screen_size < *value;
}

}  // namespace

void WriteVersionRows(AnalysisReport& report, std::string_view version_label,
                      std::string_view installed_update, std::string_view supported_update) {
  report.AppendBoth("Version de l'utilitaire de dépannage : " + std::string(version_label));
  if (!installed_update.empty()) {
    report.AppendBoth("Version de l'update installée : " + std::string(installed_update));
  }
  report.AppendBoth("Version de l'update prise en charge par cet utilitaire : " +
                    std::string(supported_update));
  report.AppendBoth(analysis::Rule());
  report.AppendBoth("Configuration de l'utilisateur :");
}

void WriteProcessorRow(AnalysisReport& report, std::string_view brand, int physical_cores) {
  std::string name = FixedField(brand, 48);
  const std::size_t first = name.find_first_not_of(" \t");
  name.erase(0, first == std::string::npos ? name.size() : first);
  const std::string cores = std::to_string(physical_cores);
  report.AppendPair("Processeur : " + name + " - Nb de core physiques : " + cores,
                    "Processeur : " + name + " - Nb de core : " + cores);
}

void WriteMemoryRow(AnalysisReport& report, const platform::Result<platform::MemoryStatus>& memory,
                    std::string_view decimal_separator) {
  constexpr std::string_view kPrefix = "RAM : ";
  if (!memory) {
    constexpr std::string_view kError = "Erreur lors de la récupération de la taille de la RAM";
    report.AppendPair(std::string(kPrefix) + std::string(kError),
                      std::string(kPrefix) + markup::Red(kError));
    return;
  }
  const std::string figures = FormatMemory(memory->total_bytes, decimal_separator) + " Go dont " +
                              FormatMemory(memory->available_bytes, decimal_separator) +
                              " Go de libres";
  // Thresholds on the unrounded quotient: 0.6 unit is 614,400,000 bytes.
  std::string_view open = markup::kGreenOpen;
  if (memory->total_bytes <= kMemoryUnit / 10 * 6) {
    open = markup::kRedOpen;
  } else if (memory->total_bytes < kMemoryUnit) {
    open = markup::kOrangeBlackOpen;
  }
  report.AppendPair(std::string(kPrefix) + figures,
                    std::string(kPrefix) + markup::Span(open, figures));
}

void WriteDisplayRows(AnalysisReport& report, const std::optional<std::string>& display_device,
                      int monitors, platform::ScreenSize screen) {
  if (display_device) report.AppendBoth("Carte graphique : " + FixedField(*display_device, 128));
  report.AppendBoth("Nombre d'écran(s) : " + std::to_string(monitors));
  report.AppendBoth("Résolution écran : " + std::to_string(screen.width) + " x " +
                    std::to_string(screen.height));
}

void WriteGameResolutionRows(AnalysisReport& report, std::string_view x_text,
                             std::string_view y_text, platform::ScreenSize screen) {
  const std::string x(x_text), y(y_text);
  const auto x_value = ResolutionValue(x);
  const auto y_value = ResolutionValue(y);
  const bool x_too_large = TooLarge(x_value, screen.width);
  const bool y_too_large = TooLarge(y_value, screen.height);

  constexpr std::string_view kPrefix = "Résolution de jeu : ";
  std::string forum(kPrefix);
  forum += x_too_large ? std::string(markup::kBlinkOpen) + x + std::string(markup::kBlinkClose) : x;
  forum += " x ";
  forum += y_too_large ? std::string(markup::kBlinkOpen) + y + std::string(markup::kBlinkClose) : y;
  report.AppendPair(std::string(kPrefix) + x + " x " + y, forum);

  if (!x_value || !y_value) {
    std::string bad;
    if (!x_value) bad += "XRes = \"" + x + "\"";
    if (!y_value) bad += std::string(bad.empty() ? "" : ", ") + "YRes = \"" + y + "\"";
    const std::string line = "Résolution de jeu illisible dans RichardBurnsRally.ini : " + bad;
    report.AppendPair(line, markup::Red(line));
  }
  if (x_too_large || y_too_large) {
    constexpr std::string_view kWarning = "Résolution de jeu supérieure à celle de l'écran";
    report.AppendPair(std::string(kWarning), markup::Red(kWarning));
  }
}

void WriteDiskRow(AnalysisReport& report, const platform::Result<platform::DiskSpace>& disk,
                  std::string_view decimal_separator) {
  if (!disk) {
    constexpr std::string_view kError = "Erreur lors de la récupération de l'espace disque.";
    report.AppendPair(std::string(kError), markup::Red(kError));
    return;
  }
  const std::uint64_t free = DiskHundredths(disk->free_bytes);
  const std::uint64_t total = DiskHundredths(disk->total_bytes);
  const std::string figures = FormatHundredths(free, decimal_separator) + " Go / " +
                              FormatHundredths(total, decimal_separator) + " Go au total";
  // The share on the rounded figures, compared exactly: free * 100 / total
  // against 50 and 10. A volume too small to show a total is red.
  std::string_view open = markup::kRedOpen;
  if (total != 0 && free * 2 >= total) {
    open = markup::kGreenOpen;
  } else if (total != 0 && free * 10 >= total) {
    open = markup::kOrangeBlackOpen;
  }
  report.AppendPair(std::string(kDiskPrefix) + figures,
                    std::string(kDiskPrefix) + markup::Span(open, figures));
}

void WriteOperatingSystemRows(AnalysisReport& report, const OperatingSystemFacts& os) {
  const std::string upper = platform::UpperCase(os.product_name);
  const std::string prefix = "Système d'exploitation : " + os.product_name;
  if (upper.find("XP") != std::string::npos) {
    report.AppendBoth(prefix + (os.xp64 ? " 64bits " : " 32bits ") + os.service_pack);
  }
  if (upper.find("VISTA") != std::string::npos || upper.find('7') != std::string::npos) {
    const bool amd64 = os.build_label.find("amd64") != std::string::npos;
    report.AppendBoth(prefix + (amd64 ? " 64bits " : " 32bits ") + os.service_pack);
  }
}

std::string InstallFolderLine(std::string_view install_folder) {
  return "Richard Burns Rally est installé dans : " + std::string(install_folder);
}

void WriteAccountRow(AnalysisReport& report, bool administrator) {
  constexpr std::string_view kPrefix = "Type de session en cours : ";
  const std::string_view account = administrator ? "Administrateur" : "Utilisateur";
  report.AppendPair(
      std::string(kPrefix) + std::string(account),
      std::string(kPrefix) + (administrator ? markup::Green(account) : markup::Red(account)));
}

}  // namespace survey
