// The sound-configuration analysis: every reference of the add-on's effect
// and engine files to a sound file that does not exist is reported with its
// file, its line number and the line itself.
#include <optional>

#include "analysis/sound_lines.h"
#include "app/RemedorMain.h"
#include "components/BFC_Dir.h"
#include "runtime/lines.h"

namespace {

// How one kind of file names its sound files.
struct SoundKind {
  std::optional<std::string> (*reference)(std::string_view line);
  std::string_view target_folder;  // relative to the game folder
  std::string_view extension;
};

void CheckSoundFile(TForm1& form, const std::string& config_path, const SoundKind& kind) {
  using analysis::markup::Red;
  const std::vector<std::string> lines = runtime::LoadLines(form.os.files(), config_path);
  form.window.Gauge2.StepIt();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    form.ProcessPendingEvents();
    const std::string& line = lines[i];
    const std::optional<std::string> part = kind.reference(line);
    if (!part) continue;
    const std::string reference =
        form.InstallFolder + std::string(kind.target_folder) + *part + std::string(kind.extension);
    ++form.SoundTestCount;
    if (!analysis::HasControlCharacters(reference) && form.os.files().IsFile(reference)) continue;
    const std::string shown = analysis::Printable(reference);
    const std::string title = "Fichier son inconnu dans le fichier .ini suivant : ";
    const std::string br(analysis::markup::kBreak);
    const std::string file = analysis::Printable(config_path);
    form.report.AppendScreen(title + file + ". Fichier inconnu : " + shown);
    form.report.AppendForum(Red(title) + br + file + "." + br + "Ligne n° " +
                            std::to_string(i + 1) + " -> " + analysis::Printable(line) + br +
                            "Fichier son inconnu -> " + shown);
    ++form.report.ProblemCount;
    ++form.MissingCount;
  }
}

}  // namespace

void TForm1::VerifEffects() {
  const SoundKind kEffect{&analysis::EffectReference, "", ".wav"};
  const SoundKind kEngine{&analysis::EngineReference, "Audio\\Cars\\", ".eng"};
  struct Folder {
    std::string path;
    const SoundKind* kind;
    std::vector<std::string> files;
  };
  Folder folders[] = {{InstallFolder + "QUORVEL\\Sounds\\Effects\\", &kEffect, {}},
                      {InstallFolder + "QUORVEL\\Sounds\\Engines\\", &kEngine, {}}};
  for (Folder& folder : folders) {
    BFC_Dir5->PathName = folder.path;
    BFC_Dir5->ReadDir();
    folder.files.assign(BFC_Dir5->ListFiles.begin(), BFC_Dir5->ListFiles.end());
  }
  window.Gauge2.position = 0;
  window.Gauge2.max = static_cast<int>(folders[0].files.size() + folders[1].files.size());
  ProcessPendingEvents();
  SoundTestCount = 0;
  for (const Folder& folder : folders) {
    for (const std::string& name : folder.files)
      CheckSoundFile(*this, folder.path + name, *folder.kind);
  }
  window.Gauge2.caption = sound_prefix + std::to_string(SoundTestCount) + sound_suffix;
}
