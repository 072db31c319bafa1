#include "repairs/restore_missing.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "analysis/required_files.h"
#include "archive/crc32.h"
#include "archive/item_path.h"
#include "platform/text.h"

namespace repairs {

namespace {

constexpr std::string_view kExists = "existe déjà / already exists";
constexpr std::string_view kRefused = "chemin refusé / path refused";
constexpr std::string_view kCrcMismatch = "CRC différent / CRC mismatch";
constexpr std::string_view kNotWritten = "non écrit / not written";
// The longest list of files an information box shows.
constexpr std::size_t kListedLimit = 20;

std::string_view TopFolder(std::string_view relative) {
  return relative.substr(0, relative.find('\\'));
}

// An item as a candidate for a path of the game folder.
struct Candidate {
  const IndexedArchive* archive;
  const IndexedItem* item;
  std::string relative;  // below the root folder when the archive has one that is skipped
};

// Why the file cannot be written now, or nullopt: every folder on its way that
// exists is a real folder (no link), and nothing of that name exists.
std::optional<std::string_view> Obstacle(platform::FileSystem& files,
                                         std::string_view install_folder,
                                         std::string_view relative) {
  namespace fa = platform::file_attribute;
  if (!IsPlainRelativePath(relative)) return kRefused;
  std::size_t end = relative.find('\\');
  while (end != std::string_view::npos) {
    const auto attributes =
        files.GetAttributes(std::string(install_folder).append(relative.substr(0, end)));
    if (!attributes) break;  // made by the extraction, with those below it
    if ((*attributes & fa::kDirectory) == 0 || (*attributes & fa::kReparsePoint) != 0) {
      return kRefused;
    }
    end = relative.find('\\', end + 1);
  }
  if (files.GetAttributes(std::string(install_folder).append(relative))) return kExists;
  return std::nullopt;
}

// Saves what RunRestore changes in the component and puts it back.
class ComponentState {
 public:
  explicit ComponentState(archive::TSevenZip& sevenzip)
      : sevenzip_(sevenzip),
        name_(sevenzip.SZFileName),
        folder_(sevenzip.ExtrBaseDir),
        password_(sevenzip.Password),
        options_(sevenzip.ExtractOptions),
        files_(sevenzip.Files),
        on_pre_progress_(std::move(sevenzip.OnPreProgress)),
        on_extract_file_(std::move(sevenzip.OnExtractfile)),
        on_progress_(std::move(sevenzip.OnProgress)),
        on_message_(std::move(sevenzip.OnMessage)),
        on_set_extract_name_(std::move(sevenzip.OnSetExtractName)),
        on_extract_overwrite_(std::move(sevenzip.OnExtractOverwrite)),
        accept_item_(std::move(sevenzip.accept_item)) {
    sevenzip.OnPreProgress = nullptr;
    sevenzip.OnExtractfile = nullptr;
    sevenzip.OnExtractOverwrite = nullptr;
  }
  ~ComponentState() {
    sevenzip_.SZFileName = name_;
    sevenzip_.ExtrBaseDir = folder_;
    sevenzip_.Password = password_;
    sevenzip_.ExtractOptions = options_;
    sevenzip_.Files = files_;
    sevenzip_.OnPreProgress = std::move(on_pre_progress_);
    sevenzip_.OnExtractfile = std::move(on_extract_file_);
    sevenzip_.OnProgress = std::move(on_progress_);
    sevenzip_.OnMessage = std::move(on_message_);
    sevenzip_.OnSetExtractName = std::move(on_set_extract_name_);
    sevenzip_.OnExtractOverwrite = std::move(on_extract_overwrite_);
    sevenzip_.accept_item = std::move(accept_item_);
  }
  ComponentState(const ComponentState&) = delete;
  ComponentState& operator=(const ComponentState&) = delete;

 private:
  archive::TSevenZip& sevenzip_;
  std::string name_, folder_, password_;
  archive::TExtractOptions options_;
  archive::TWideStringList files_;
  archive::T7zPreProgressEvent on_pre_progress_;
  archive::T7zExtractfileEvent on_extract_file_;
  archive::T7zProgressEvent on_progress_;
  archive::T7zMessageEvent on_message_;
  archive::T7zSetNewNameEvent on_set_extract_name_;
  archive::T7zExtractOverwrite on_extract_overwrite_;
  std::function<bool(const archive::TSevenZip::Item&, const std::string&)> accept_item_;
};

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// At most kListedLimit lines, then how many more.
std::string Listed(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < kListedLimit; ++i) text += "\r  " + lines[i];
  if (lines.size() > kListedLimit) {
    const std::string more = std::to_string(lines.size() - kListedLimit);
    text += "\r  ... (" + more + " autres / " + more + " more)";
  }
  return text;
}

}  // namespace

std::optional<std::string> RestorableEntryPath(std::string_view check_entry) {
  const analysis::CheckEntry entry = analysis::ParseEntry(check_entry);
  switch (entry.kind) {
    case analysis::EntryKind::kPlain:
    case analysis::EntryKind::kLoadingScreen:
    case analysis::EntryKind::kProfile:
      return archive::SafeRelativePath(entry.rest);
    default:
      return std::nullopt;
  }
}

RestorePlan PlanRestore(const RestoreIndex& index, platform::FileSystem& files,
                        std::string_view install_folder,
                        const std::vector<std::string>& missing_paths) {
  std::vector<std::string> wanted;  // relative, with backslashes
  for (const std::string& path : missing_paths) {
    if (auto relative = archive::SafeRelativePath(path)) wanted.push_back(*relative);
  }
  const auto is_missing_top = [&](std::string_view root) {
    return std::any_of(wanted.begin(), wanted.end(), [&](const std::string& path) {
      return platform::EqualsIgnoreCase(TopFolder(path), root);
    });
  };

  // Every indexed file under its key: its path in the game folder, upper case.
  std::map<std::string, std::vector<Candidate>> by_key;
  for (const IndexedArchive& archive : index.archives) {
    const bool below_root = !archive.root.empty() && !is_missing_top(archive.root) &&
                            !files.IsFolder(std::string(install_folder) + archive.root);
    for (const IndexedItem& item : archive.files) {
      std::string relative =
          below_root ? item.relative.substr(archive.root.size() + 1) : item.relative;
      by_key[platform::UpperCase(relative)].push_back({&archive, &item, std::move(relative)});
    }
  }

  RestorePlan plan;
  plan.unopened = index.unopened;
  std::set<std::string> planned;
  const auto take = [&](const std::string& key, const std::vector<Candidate>& candidates,
                        const std::string& relative) {
    if (!planned.insert(key).second) return;
    const std::uint32_t crc = candidates.front().item->crc;
    const std::uint64_t size = candidates.front().item->size;
    if (std::any_of(candidates.begin(), candidates.end(), [&](const Candidate& other) {
          return other.item->crc != crc || other.item->size != size;
        })) {
      plan.disagreeing.push_back(relative);
      return;
    }
    const Candidate& source = candidates.front();
    plan.files.push_back(
        {relative, source.archive->name, source.archive->password, source.item->index, crc, size});
  };
  for (const std::string& path : wanted) {
    const std::string key = platform::UpperCase(path);
    if (const auto exact = by_key.find(key); exact != by_key.end()) {
      take(key, exact->second, path);
    }
    // A missing folder: every file below it (']' follows '\' in byte order).
    for (auto it = by_key.lower_bound(key + '\\'); it != by_key.end() && it->first < key + ']';
         ++it) {
      take(it->first, it->second, it->second.front().relative);
    }
  }
  for (const IndexedArchive& archive : index.archives) {
    if (std::any_of(plan.files.begin(), plan.files.end(),
                    [&](const PlannedFile& file) { return file.archive == archive.name; })) {
      plan.archives.push_back(archive.name);
    }
  }
  return plan;
}

RestoreOutcome RunRestore(archive::TSevenZip& sevenzip, platform::FileSystem& files,
                          std::string_view install_folder, const RestorePlan& plan,
                          const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
  namespace fa = platform::file_attribute;
  const ComponentState saved(sevenzip);
  RestoreOutcome outcome;
  std::uint64_t total = 0;
  for (const PlannedFile& file : plan.files) total += file.size;
  std::uint64_t done = 0;

  for (const std::string& archive_name : plan.archives) {
    std::vector<const PlannedFile*> batch;
    std::unordered_map<std::uint32_t, std::size_t> position;  // item index -> batch
    for (const PlannedFile& file : plan.files) {
      if (file.archive != archive_name) continue;
      position[file.index] = batch.size();
      batch.push_back(&file);
    }
    std::vector<std::optional<std::string_view>> refused(batch.size());
    std::vector<bool> accepted(batch.size(), false), failed(batch.size(), false);
    std::uint64_t batch_bytes = 0;
    sevenzip.Files.clear();
    for (const PlannedFile* file : batch) {
      sevenzip.Files.push_back(std::to_string(file->index));
      batch_bytes += file->size;
    }

    std::optional<std::size_t> current;
    sevenzip.SZFileName = std::string(install_folder) + "QUORVEL\\" + archive_name;
    sevenzip.ExtrBaseDir = std::string(install_folder);
    sevenzip.Password = batch.front()->password;
    sevenzip.ExtractOptions = {.ExtractNoPath = false, .ExtractOverwrite = false};
    sevenzip.OnSetExtractName = [&](archive::TSevenZip&, std::uint32_t index, std::string& name) {
      const auto found = position.find(index);
      current = found == position.end() ? std::nullopt : std::optional(found->second);
      if (current) name = std::string(install_folder) + batch[*current]->relative;
    };
    sevenzip.accept_item = [&](const archive::TSevenZip::Item&, const std::string& target) -> bool {
      if (!current || target != std::string(install_folder) + batch[*current]->relative)
        return false;
      // Checked again now: the folder may have changed since the question.
      refused[*current] = Obstacle(files, install_folder, batch[*current]->relative);
      accepted[*current] = !refused[*current];
      return accepted[*current];
    };
    sevenzip.OnMessage = [&](archive::TSevenZip&, int code, const std::string&,
                             const std::string&) {
      if (code == archive::kCouldNotCreateFile && current) failed[*current] = true;
    };
    sevenzip.OnProgress = [&](archive::TSevenZip&, const std::string&, std::int64_t position_in_run,
                              std::int64_t) {
      if (progress) {
        progress(done + std::min<std::uint64_t>(static_cast<std::uint64_t>(position_in_run),
                                                batch_bytes),
                 total);
      }
    };
    (void)sevenzip.Extract(false);
    done += batch_bytes;
    if (progress) progress(done, total);

    for (std::size_t i = 0; i < batch.size(); ++i) {
      const std::string target = std::string(install_folder) + batch[i]->relative;
      if (!accepted[i] || failed[i]) {
        outcome.not_restored.push_back(batch[i]->relative + " (" +
                                       std::string(refused[i].value_or(kNotWritten)) + ")");
        continue;
      }
      if (archive::FileCrc32(files, target) == batch[i]->crc) {
        outcome.restored.push_back(batch[i]->relative);
        continue;
      }
      // Written by this run but not the archive's content: it goes.
      const auto attributes = files.GetAttributes(target);
      if (attributes && (*attributes & fa::kReadOnly) && !(*attributes & fa::kReparsePoint)) {
        (void)files.SetAttributes(target, *attributes & ~fa::kReadOnly);
      }
      (void)files.RemoveFile(target);
      outcome.not_restored.push_back(batch[i]->relative + " (" + std::string(kCrcMismatch) + ")");
    }
  }
  return outcome;
}

std::string RestoreOfferText(const RestorePlan& plan) {
  const std::string count = std::to_string(plan.files.size());
  const std::string archives = Joined(plan.archives);
  std::string text =
      count + " fichier(s) manquant(s) peuvent être restaurés depuis les archives de QUORVEL : " +
      archives + ".";
  if (!plan.disagreeing.empty()) {
    text += "\rNon restaurés, les archives ne concordent pas : " + Joined(plan.disagreeing) + ".";
  }
  if (!plan.unopened.empty())
    text += "\rArchives illisibles, ignorées : " + Joined(plan.unopened) + ".";
  text += "\rVoulez-vous les restaurer maintenant ?\r\r" + count +
          " missing file(s) can be restored from the archives of QUORVEL: " + archives + ".";
  if (!plan.disagreeing.empty()) {
    text += "\rNot restored, the archives disagree: " + Joined(plan.disagreeing) + ".";
  }
  if (!plan.unopened.empty())
    text += "\rUnreadable archives, skipped: " + Joined(plan.unopened) + ".";
  return text + "\rRestore them now?";
}

std::string RestoreOutcomeText(const RestoreOutcome& outcome) {
  const std::string count = std::to_string(outcome.restored.size());
  std::string text = count + " fichier(s) restauré(s).\r" + count + " file(s) restored.";
  if (!outcome.not_restored.empty()) {
    text += "\r\rNon restaurés / Not restored :" + Listed(outcome.not_restored);
  }
  return text;
}

}  // namespace repairs
