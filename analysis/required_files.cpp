#include "analysis/required_files.h"

#include "platform/device_names.h"
#include "platform/text.h"

namespace analysis {

namespace {

struct Marker {
  std::string_view text;  // UTF-8 of the Windows-1252 marker byte
  EntryKind kind;
};
constexpr Marker kMarkers[] = {
    {"&", EntryKind::kVb6Runtime}, {"$", EntryKind::kLoadingScreen},
    {"£", EntryKind::kProfile},    {kUpdateMarker, EntryKind::kSupportedUpdate},
    {"§", EntryKind::kNgpPlugin},
};

constexpr std::string_view kMissing = "  Fichier manquant : ";

// The plugin's switched-off twin: rest without its last three characters
// ("dll" of "Plugins\PhysicsNG.dll"), after its last backslash, + "no".
std::string SwitchedOffPluginName(std::string_view rest) {
  const std::size_t length = platform::Utf8Length(rest);
  std::string stem = platform::Utf8Substr(rest, 0, length >= 3 ? length - 3 : 0);
  const std::size_t slash = stem.rfind('\\');
  if (slash != std::string::npos) stem.erase(0, slash + 1);
  return stem + "no";
}

}  // namespace

CheckEntry ParseEntry(std::string_view entry) {
  for (const Marker& marker : kMarkers) {
    if (entry.starts_with(marker.text)) return {marker.kind, entry.substr(marker.text.size())};
  }
  return {EntryKind::kPlain, entry};
}

EntryProbe ProbeFor(const CheckEntry& entry, std::string_view install_folder,
                    std::string_view windows_folder) {
  EntryProbe probe;
  switch (entry.kind) {
    case EntryKind::kPlain:
      probe.path = std::string(install_folder).append(entry.rest);
      probe.folder_counts = true;
      break;
    case EntryKind::kVb6Runtime:
      probe.path = std::string(windows_folder).append("\\System32\\").append(entry.rest);
      break;
    case EntryKind::kLoadingScreen:
    case EntryKind::kProfile:
      probe.path = std::string(install_folder).append(entry.rest);
      break;
    case EntryKind::kNgpPlugin:
      probe.path = std::string(install_folder).append(entry.rest);
      probe.alternative =
          std::string(install_folder) + "Plugins\\" + SwitchedOffPluginName(entry.rest);
      break;
    case EntryKind::kSupportedUpdate:
      probe.checked = false;
      break;
  }
  return probe;
}

bool IsPresent(platform::FileSystem& files, const EntryProbe& probe) {
  if (!probe.checked) return true;
  auto found = [&](const std::string& path) {
    // A device answers for any folder ("Plugins\AUX.dll"): never a file of the game.
    if (platform::NamesDevice(path)) return false;
    const platform::EntryType type = files.TypeOf(path);
    return type == platform::EntryType::kFile ||
           (probe.folder_counts && type == platform::EntryType::kFolder);
  };
  return found(probe.path) || (!probe.alternative.empty() && found(probe.alternative));
}

std::string MissingLine(const CheckEntry& entry, std::string_view install_folder) {
  std::string line(kMissing);
  switch (entry.kind) {
    case EntryKind::kPlain:
      return line.append(install_folder).append(entry.rest);
    case EntryKind::kVb6Runtime:
      return line.append(entry.rest).append(" ** Fichier de VB6 RunTime and More **");
    case EntryKind::kLoadingScreen:
      return line.append(entry.rest).append(" ** Fichier du loading screen **");
    case EntryKind::kProfile:
      return line.append(entry.rest)
          .append(" ** Pas de profile DOROVIROZORA ou profil endommagé**");
    case EntryKind::kNgpPlugin:
      return line.append(entry.rest).append(" ** Fichier du plugin NGP manquant **");
    case EntryKind::kSupportedUpdate:
      break;
  }
  return {};
}

void WriteMissingTotals(AnalysisReport& report, std::int32_t missing_count) {
  if (missing_count < 1) {
    report.AppendForum(
        "Aucun fichier ou dossier nécessaire au bon fonctionnement de QUORVEL n'est manquant.");
  } else {
    const std::string count = std::to_string(missing_count);
    report.AppendScreen("Nombre de fichiers manquants : " + count);
    if (missing_count >= kForumMissingCap) {
      report.AppendForum(".../...");
      report.AppendForum(" ");
      report.AppendForum("Nombre total de fichiers manquants : " + markup::Red(count));
    }
  }
  report.AppendBoth(Rule());
}

void CheckRequiredEntries(AnalysisReport& report, platform::FileSystem& files,
                          std::string_view install_folder, std::string_view windows_folder,
                          const std::vector<std::string_view>& entries, std::int32_t& missing_count,
                          const std::function<void(std::size_t index, bool missing)>& checked) {
  bool header_written = false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CheckEntry entry = ParseEntry(entries[i]);
    const bool missing = !IsPresent(files, ProbeFor(entry, install_folder, windows_folder));
    if (missing) {
      if (!header_written) {
        report.AppendBoth("Fichiers manquants :");
        header_written = true;
      }
      std::string line = MissingLine(entry, install_folder);
      report.AppendScreen(line);
      if (ForumListsMissingEntry(missing_count)) report.AppendForum(std::move(line));
      ++missing_count;
    }
    checked(i, missing);
  }
}

}  // namespace analysis
