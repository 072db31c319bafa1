#include "platform/posix/prefix_paths.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <numeric>

#include "platform/text.h"
#include "platform/wow64_view.h"

namespace platform::posix {

namespace fs = std::filesystem;

struct PrefixPaths::Entry {
  std::string key;  // the name's upper case
  std::string name;
  unsigned char type = DT_UNKNOWN;  // as readdir reports it
  std::unique_ptr<DirNode> child;   // made when a walk goes through it
};

// A folder and, once listed, its entries with an index of their upper-case
// names. The index is open-addressed in one array, so that a lookup touches
// one slot and one entry where a node-based map chases three or four
// pointers: with many folders cached, those are cache misses.
struct PrefixPaths::DirNode {
  static constexpr std::size_t kNone = std::string::npos;
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t position = 0;  // of the key's first entry, plus one; 0 when free
  };

  std::string host;  // the folder's host path, without a trailing slash (but "/")
  int watch = -1;    // its inotify watch; -1 when not watched
  bool listed = false;
  bool racy = true;  // read too soon after a change to vouch for a missing name
  timespec mtime{};
  std::vector<Entry> entries;  // by key, then by name: the spellings of a key together
  std::vector<Slot> slots;     // a power of two, at most half used

  static std::uint32_t Hash(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
  }

  void TakeEntries(std::vector<Entry> sorted) {
    entries = std::move(sorted);
    std::size_t size = 8;
    while (size < 2 * entries.size()) size *= 2;
    slots.assign(size, {});
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (i > 0 && entries[i].key == entries[i - 1].key) continue;
      const std::uint32_t hash = Hash(entries[i].key);
      std::size_t at = hash & (size - 1);
      while (slots[at].position != 0) at = (at + 1) & (size - 1);
      slots[at] = {hash, static_cast<std::uint32_t>(i + 1)};
    }
  }

  // The position of the key's first entry; kNone when there is none.
  std::size_t Find(std::string_view key) const {
    if (slots.empty()) return kNone;
    const std::uint32_t hash = Hash(key);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t at = hash & mask; slots[at].position != 0; at = (at + 1) & mask) {
      const std::size_t position = slots[at].position - 1;
      if (slots[at].hash == hash && entries[position].key == key) return position;
    }
    return kNone;
  }

  bool SameKey(std::size_t position, std::string_view key) const {
    return position < entries.size() && entries[position].key == key;
  }
};

namespace {

// A listing read this soon after its folder changed may miss a change made in
// the same clock tick.
constexpr long kRacySeconds = 2;

// What changes a listing: names coming and going, and the folder itself.
constexpr std::uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                          IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// Characters Windows refuses in a name.
bool IsValidComponent(std::string_view name) {
  return std::none_of(name.begin(), name.end(), [](char c) {
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '|':
      case '?':
      case '*':
        return true;
      default:
        return static_cast<unsigned char>(c) < 0x20;
    }
  });
}

// The upper case of a name, into a buffer kept between lookups.
void FoldInto(std::string& out, std::string_view name) {
  out.assign(name);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      out = UpperCase(name);
      return;
    }
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

std::string HostString(const fs::path& path) {
  std::string text = path.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

bool MayBeFolder(unsigned char type) {
  return type == DT_DIR || type == DT_LNK || type == DT_UNKNOWN;
}

}  // namespace

std::string JoinHostPath(std::string_view folder, std::string_view name) {
  std::string host(folder);
  if (host.empty() || host.back() != '/') host += '/';
  host += name;
  return host;
}

PrefixPaths::PrefixPaths(fs::path prefix, ListingFreshness freshness)
    : prefix_(std::move(prefix)),
      inotify_(freshness == ListingFreshness::kWatched ? ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)
                                                       : -1) {}

PrefixPaths::~PrefixPaths() {
  if (inotify_ >= 0) ::close(inotify_);
}

void PrefixPaths::Watch(DirNode& node) {
  if (inotify_ < 0 || node.watch >= 0) return;
  const int watch = ::inotify_add_watch(inotify_, node.host.c_str(), kWatchedChanges);
  if (watch < 0) return;  // left to its modification time
  node.watch = watch;
  watches_[watch].push_back(&node);
}

void PrefixPaths::Unwatch(DirNode& node) {
  if (node.watch < 0) return;
  const auto it = watches_.find(node.watch);
  if (it != watches_.end()) {
    std::erase(it->second, &node);
    if (it->second.empty()) {
      ::inotify_rm_watch(inotify_, node.watch);
      watches_.erase(it);
    }
  }
  node.watch = -1;
}

void PrefixPaths::TakeInChanges() {
  if (inotify_ < 0) return;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(inotify_, buffer, sizeof buffer);
    if (got <= 0) return;  // EAGAIN: nothing more has changed
    ForgetParent();
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {  // changes were lost: trust no listing
        for (auto& indexed : index_) indexed.second->listed = false;
        continue;
      }
      const auto it = watches_.find(event->wd);
      if (it == watches_.end()) continue;
      for (DirNode* node : it->second) {
        node->listed = false;
        if (event->mask & IN_IGNORED) node->watch = -1;  // the folder is gone
      }
      if (event->mask & IN_IGNORED) watches_.erase(it);
    }
  }
}

Status PrefixPaths::Parse(std::string_view windows_path, Parsed& parsed) {
  parsed.components.clear();  // its capacity kept: lookups come by the thousand
  std::string& text = text_buffer_;
  text.assign(windows_path);
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.starts_with("\\\\?\\")) text.erase(0, 4);
  if (text.starts_with("\\\\")) {
    return MakeError(Errc::kBadPathname, "GetFullPathName", std::string(windows_path), 0,
                     "network paths are not simulated");
  }
  if (text.empty()) return MakeError(Errc::kPathNotFound, "GetFullPathName", "");

  const auto components_of = [](std::string_view full, Parsed& parsed) {
    parsed.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(full[0])));
    std::size_t start = 3;
    while (start < full.size()) {
      std::size_t end = full.find('\\', start);
      if (end == std::string_view::npos) end = full.size();
      parsed.components.emplace_back(full.substr(start, end - start));
      start = end + 1;
    }
  };

  std::string_view rest = text;
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') {
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    rest.remove_prefix(2);
    parsed.drive = drive;
    if (rest.empty() || rest.front() != '\\') {  // relative to that drive's current folder
      if (current_[0] == drive) {
        components_of(current_, parsed);
      } else if (const auto it = drive_current_.find(drive); it != drive_current_.end()) {
        components_of(it->second, parsed);
      }
    }
  } else if (text.front() == '\\') {
    parsed.drive = current_[0];
  } else {
    components_of(current_, parsed);
  }

  bool last_from_input = false;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string_view::npos) end = rest.size();
    const std::string_view component = rest.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!parsed.components.empty()) parsed.components.pop_back();
      last_from_input = false;
      continue;
    }
    if (!IsValidComponent(component)) {
      return MakeError(Errc::kBadPathname, "GetFullPathName", std::string(windows_path));
    }
    parsed.components.emplace_back(component);
    last_from_input = end == rest.size();
  }
  // The last component loses its trailing dots and blanks ("name. " is "name").
  if (last_from_input) {
    std::string& last = parsed.components.back();
    while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
    if (last.empty()) parsed.components.pop_back();
  }
  return {};
}

std::string PrefixPaths::Join(const Parsed& parsed) {
  std::string full{parsed.drive, ':', '\\'};
  for (std::size_t i = 0; i < parsed.components.size(); ++i) {
    if (i) full += '\\';
    full += parsed.components[i];
  }
  return full;
}

std::optional<fs::path> PrefixPaths::FindDriveRoot(char drive) const {
  std::error_code error;
  const fs::path dosdevices = prefix_ / "dosdevices";
  if (!fs::is_directory(dosdevices, error)) {
    if (drive != 'C' || !fs::is_directory(prefix_ / "drive_c", error)) return std::nullopt;
    return prefix_ / "drive_c";
  }
  const fs::path link = dosdevices / (std::string(1, static_cast<char>(std::tolower(drive))) + ":");
  const fs::path target = fs::read_symlink(link, error);
  const fs::path root = error ? link : (target.is_absolute() ? target : dosdevices / target);
  if (!fs::is_directory(root, error)) return std::nullopt;
  return fs::path(HostString(root));
}

PrefixPaths::DirNode* PrefixPaths::DriveNode(char drive) {
  if (drive < 'A' || drive > 'Z') return nullptr;
  std::unique_ptr<DirNode>& node = drives_[drive - 'A'];
  if (!node) {
    const auto root = FindDriveRoot(drive);
    if (!root) return nullptr;
    node = std::make_unique<DirNode>();
    node->host = HostString(*root);
    index_[node->host] = node.get();
  }
  return node.get();
}

bool PrefixPaths::ReadListing(DirNode& node) {
  ForgetParent();  // the entries it replaces may hold it
  Watch(node);     // before the reading: a change during it is reported
  DIR* dir = ::opendir(node.host.c_str());
  if (!dir) {
    node.listed = false;
    return false;
  }
  struct stat folder {};
  ::fstat(::dirfd(dir), &folder);
  std::vector<Entry> read;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    Entry& added = read.emplace_back(Entry{{}, std::string(name), entry->d_type, nullptr});
    FoldInto(added.key, name);
  }
  ::closedir(dir);
  // Sorted by position, then moved in order once: an entry is too big to
  // move about at every step of the sort.
  std::vector<std::uint32_t> order(read.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&read](std::uint32_t a, std::uint32_t b) {
    const int keys = read[a].key.compare(read[b].key);
    return keys != 0 ? keys < 0 : read[a].name < read[b].name;
  });
  std::vector<Entry> fresh;
  fresh.reserve(read.size());
  for (const std::uint32_t i : order) fresh.push_back(std::move(read[i]));

  // Keep what is known below the names that are still there.
  for (Entry& entry : fresh) {
    for (std::size_t i = node.Find(entry.key); node.SameKey(i, entry.key); ++i) {
      Entry& previous = node.entries[i];
      if (previous.name == entry.name && previous.child) entry.child = std::move(previous.child);
    }
  }
  for (Entry& entry : node.entries) {
    if (entry.child) Unindex(*entry.child);
  }
  node.TakeEntries(std::move(fresh));
  node.listed = true;
  node.mtime = folder.st_mtim;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  node.racy = now.tv_sec - folder.st_mtim.tv_sec <= kRacySeconds;
  return true;
}

bool PrefixPaths::Refresh(DirNode& node) {
  if (node.listed && node.watch >= 0) return true;  // its changes are taken in
  struct stat folder {};
  if (::stat(node.host.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
    ForgetParent();
    node.listed = false;
    return false;
  }
  if (node.listed && !node.racy && folder.st_mtim.tv_sec == node.mtime.tv_sec &&
      folder.st_mtim.tv_nsec == node.mtime.tv_nsec) {
    return true;
  }
  return ReadListing(node);
}

void PrefixPaths::Unindex(DirNode& node) {
  index_.erase(node.host);
  Unwatch(node);
  for (Entry& entry : node.entries) {
    if (entry.child) Unindex(*entry.child);
  }
}

const char* PrefixPaths::Redirection(const Parsed& parsed, std::size_t index,
                                     std::string_view key) const {
  if (!wow64_view_ || index != 1 || parsed.drive != 'C' ||
      !EqualsAsciiIgnoreCase(parsed.components[0], "WINDOWS")) {
    return nullptr;
  }
  const auto name_after = [&](std::size_t n) -> std::string_view {
    return index + n < parsed.components.size() ? std::string_view(parsed.components[index + n])
                                                : std::string_view();
  };
  if (key == "SYSTEM32" && !ExemptFromWow64Redirection(name_after(1), name_after(2))) {
    return "SYSWOW64";
  }
  if (key == "SYSNATIVE") return "SYSTEM32";
  return nullptr;
}

PrefixPaths::Entry* PrefixPaths::FindEntry(DirNode& folder, const Parsed& parsed,
                                           std::size_t index) {
  const std::string& component = parsed.components[index];
  FoldInto(key_buffer_, component);
  const auto find = [&](std::string_view key) -> Entry* {
    const std::size_t first = folder.Find(key);
    if (first == DirNode::kNone) return nullptr;
    // The exact spelling first, else the first by byte order.
    for (std::size_t i = first; folder.SameKey(i, key); ++i) {
      if (folder.entries[i].name == component) return &folder.entries[i];
    }
    return &folder.entries[first];
  };
  if (const char* redirected = Redirection(parsed, index, key_buffer_)) {
    if (Entry* entry = find(redirected)) return entry;  // when there is a syswow64
  }
  return find(key_buffer_);
}

PrefixPaths::DirNode* PrefixPaths::Descend(const Parsed& parsed, std::size_t count, bool verify,
                                           bool* suspect) {
  DirNode* node = DriveNode(parsed.drive);
  for (std::size_t i = 0; node && i < count; ++i) {
    if (verify ? !Refresh(*node) : (!node->listed && !ReadListing(*node))) {
      *suspect = !verify;
      return nullptr;
    }
    Entry* entry = FindEntry(*node, parsed, i);
    if (!entry || !MayBeFolder(entry->type)) {
      *suspect = !verify;
      return nullptr;
    }
    if (!entry->child) {
      entry->child = std::make_unique<DirNode>();
      entry->child->host = JoinHostPath(node->host, entry->name);
      index_[entry->child->host] = entry->child.get();
    }
    node = entry->child.get();
  }
  return node;
}

bool PrefixPaths::SameParentAsLast(const Parsed& parsed) const {
  const std::size_t depth = parsed.components.size() - 1;
  return last_parent_ && last_parent_->listed && parsed.drive == last_parent_path_.drive &&
         depth == last_parent_path_.components.size() &&
         std::equal(last_parent_path_.components.begin(), last_parent_path_.components.end(),
                    parsed.components.begin());
}

void PrefixPaths::RememberParent(const Parsed& parsed, DirNode* parent) {
  // Below C:\windows, the names further down choose the folder (system32).
  if (parsed.drive == 'C' && EqualsAsciiIgnoreCase(parsed.components[0], "WINDOWS")) return;
  last_parent_ = parent;
  last_parent_path_.drive = parsed.drive;
  last_parent_path_.components.assign(parsed.components.begin(), parsed.components.end() - 1);
}

PrefixPaths::DirNode* PrefixPaths::ListedParent(const Parsed& parsed, bool verify, bool* suspect) {
  if (!verify && SameParentAsLast(parsed)) return last_parent_;
  DirNode* parent = Descend(parsed, parsed.components.size() - 1, verify, suspect);
  if (!parent || (verify ? !Refresh(*parent) : (!parent->listed && !ReadListing(*parent)))) {
    *suspect = !verify;
    return nullptr;
  }
  RememberParent(parsed, parent);
  return parent;
}

Result<HostLocation> PrefixPaths::LocateParsed(const Parsed& parsed, bool verify, bool* suspect) {
  HostLocation location;
  location.drive = parsed.drive;
  location.windows_path = Join(parsed);
  const auto not_found = [&] {
    return MakeError(Errc::kPathNotFound, "GetFileAttributes", location.windows_path);
  };

  if (parsed.components.empty()) {
    DirNode* root = DriveNode(parsed.drive);
    if (!root) return not_found();
    location.is_root = true;
    location.host = root->host;
    location.exists = ::lstat(root->host.c_str(), &location.status) == 0;
    if (!location.exists) return not_found();
    return location;
  }

  const std::size_t last = parsed.components.size() - 1;
  DirNode* parent = ListedParent(parsed, verify, suspect);
  if (!parent) return not_found();
  const Entry* entry = FindEntry(*parent, parsed, last);
  location.parent = parent->host;
  if (entry) {
    location.name = entry->name;
    location.host = JoinHostPath(parent->host, entry->name);
    location.exists = ::lstat(location.host.c_str(), &location.status) == 0;
  }
  if (!location.exists) {
    *suspect = !verify;
    location.name = parsed.components[last];
    location.host = JoinHostPath(parent->host, location.name);
  }
  return location;
}

Result<HostLocation> PrefixPaths::Locate(std::string_view windows_path) {
  std::lock_guard lock(mutex_);
  TakeInChanges();
  Parsed& parsed = parsed_buffer_;
  if (auto status = Parse(windows_path, parsed); !status) return status.error();
  bool suspect = false;
  auto located = LocateParsed(parsed, false, &suspect);
  if (!suspect) return located;
  return LocateParsed(parsed, true, &suspect);
}

EntryType PrefixPaths::TypeOfParsed(const Parsed& parsed, bool verify, bool* suspect) {
  if (parsed.components.empty()) {
    DirNode* root = DriveNode(parsed.drive);
    struct stat status {};
    return root && ::stat(root->host.c_str(), &status) == 0 ? EntryType::kFolder
                                                            : EntryType::kAbsent;
  }
  DirNode* parent = ListedParent(parsed, verify, suspect);
  const Entry* entry = parent ? FindEntry(*parent, parsed, parsed.components.size() - 1) : nullptr;
  if (!entry) {
    *suspect = !verify;
    return EntryType::kAbsent;
  }
  // A watched listing's types stand as read; a link (followed, for the folder
  // bit), an untold type or an unwatched listing is asked of the entry itself.
  if (parent->watch >= 0 && entry->type != DT_LNK && entry->type != DT_UNKNOWN) {
    return entry->type == DT_DIR ? EntryType::kFolder : EntryType::kFile;
  }
  const std::string host = JoinHostPath(parent->host, entry->name);
  struct stat status {};
  if (::lstat(host.c_str(), &status) != 0) {
    *suspect = !verify;
    return EntryType::kAbsent;
  }
  struct stat target {};
  if (S_ISLNK(status.st_mode) && ::stat(host.c_str(), &target) == 0) status = target;
  return S_ISDIR(status.st_mode) ? EntryType::kFolder : EntryType::kFile;
}

EntryType PrefixPaths::TypeOf(std::string_view windows_path) {
  std::lock_guard lock(mutex_);
  TakeInChanges();
  Parsed& parsed = parsed_buffer_;
  if (!Parse(windows_path, parsed)) return EntryType::kAbsent;
  bool suspect = false;
  const EntryType type = TypeOfParsed(parsed, false, &suspect);
  if (!suspect) return type;
  return TypeOfParsed(parsed, true, &suspect);
}

std::optional<fs::path> PrefixPaths::HostPath(std::string_view windows_path) {
  const auto located = Locate(windows_path);
  if (!located || !located->exists) return std::nullopt;
  return located->host;
}

Result<std::string> PrefixPaths::FullPath(std::string_view windows_path) {
  std::lock_guard lock(mutex_);
  Parsed& parsed = parsed_buffer_;
  if (auto status = Parse(windows_path, parsed); !status) return status.error();
  return Join(parsed);
}

Result<std::vector<std::string>> PrefixPaths::ListFolder(const HostLocation& folder) {
  std::lock_guard lock(mutex_);
  TakeInChanges();
  Parsed& parsed = parsed_buffer_;
  if (auto status = Parse(folder.windows_path, parsed); !status) return status.error();
  bool suspect = false;
  DirNode* node = Descend(parsed, parsed.components.size(), true, &suspect);
  if (!node || !Refresh(*node)) {
    return MakeError(Errc::kPathNotFound, "FindFirstFile", folder.windows_path);
  }
  std::vector<std::string> names;
  names.reserve(node->entries.size());
  for (const Entry& entry : node->entries) names.push_back(entry.name);
  return names;
}

std::optional<fs::path> PrefixPaths::DriveRoot(char drive) {
  std::lock_guard lock(mutex_);
  DirNode* node = DriveNode(static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
  if (!node) return std::nullopt;
  return fs::path(node->host);
}

std::string PrefixPaths::CurrentDirectory() {
  std::lock_guard lock(mutex_);
  return current_;
}

void PrefixPaths::SetCurrentDirectory(const std::string& full_path) {
  std::lock_guard lock(mutex_);
  current_ = full_path;
  drive_current_[full_path[0]] = full_path;
}

void PrefixPaths::SetWow64View(bool on) {
  std::lock_guard lock(mutex_);
  ForgetParent();
  wow64_view_ = on;
}

void PrefixPaths::Invalidate(const fs::path& host_folder) {
  std::lock_guard lock(mutex_);
  ForgetParent();
  const auto it = index_.find(HostString(host_folder));
  if (it != index_.end()) it->second->listed = false;
}

}  // namespace platform::posix
