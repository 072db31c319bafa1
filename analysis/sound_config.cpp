#include "analysis/sound_config.h"

#include <optional>

#include "analysis/sound_lines.h"
#include "runtime/lines.h"

namespace analysis {

namespace {

// How one kind of file names its sound files.
struct SoundRule {
  std::optional<std::string> (*reference)(std::string_view line);
  std::string_view target_folder;  // relative to the game folder
  std::string_view extension;
};

const SoundRule& RuleOf(SoundConfigFile::Kind kind) {
  static const SoundRule effects{&EffectReference, "", ".wav"};
  static const SoundRule engines{&EngineReference, "Audio\\Cars\\", ".eng"};
  return kind == SoundConfigFile::Kind::kEffects ? effects : engines;
}

}  // namespace

std::vector<SoundConfigFile> ListSoundConfigFiles(TBFC_Dir& scanner,
                                                  std::string_view install_folder) {
  const std::pair<SoundConfigFile::Kind, std::string_view> folders[] = {
      {SoundConfigFile::Kind::kEffects, "QUORVEL\\Sounds\\Effects\\"},
      {SoundConfigFile::Kind::kEngines, "QUORVEL\\Sounds\\Engines\\"}};
  std::vector<SoundConfigFile> found;
  for (const auto& [kind, folder] : folders) {
    const std::string path = std::string(install_folder).append(folder);
    scanner.PathName = path;
    scanner.ReadDir();
    for (const std::string& name : scanner.ListFiles) found.push_back({kind, path + name});
  }
  return found;
}

void CheckSoundConfigFile(AnalysisReport& report, platform::FileSystem& files,
                          std::string_view install_folder, const SoundConfigFile& config,
                          const SoundCounts& counts, const std::function<void()>& loaded,
                          const std::function<void()>& process_events) {
  using markup::Red;
  const SoundRule& rule = RuleOf(config.kind);
  const std::vector<std::string> lines = runtime::LoadLines(files, config.path);
  loaded();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    process_events();
    const std::string& line = lines[i];
    const std::optional<std::string> part = rule.reference(line);
    if (!part) continue;
    const std::string reference = std::string(install_folder) + std::string(rule.target_folder) +
                                  *part + std::string(rule.extension);
    ++counts.tested;
    if (!HasControlCharacters(reference) && files.IsFile(reference)) continue;
    const std::string shown = Printable(reference);
    const std::string title = "Fichier son inconnu dans le fichier .ini suivant : ";
    const std::string br(markup::kBreak);
    const std::string file = Printable(config.path);
    report.AppendScreen(title + file + ". Fichier inconnu : " + shown);
    report.AppendForum(Red(title) + br + file + "." + br + "Ligne n° " + std::to_string(i + 1) +
                       " -> " + Printable(line) + br + "Fichier son inconnu -> " + shown);
    ++report.ProblemCount;
    ++counts.missing;
  }
}

}  // namespace analysis
