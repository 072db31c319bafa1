// Windows paths on a Wine prefix folder, resolved as Wine resolves them.
//
// A drive letter leads through the prefix's dosdevices/ links ("c:" is
// "../drive_c", "z:" is "/"); a prefix without dosdevices/ has drive C: only,
// at drive_c. Either slash separates components; "." and ".." are resolved;
// the last component loses its trailing dots and blanks; relative paths start
// at the current folder ("C:name" at drive C's own current folder). Every
// component is matched without regard to letter case, an exact match first.
// A 32-bit program in a 64-bit prefix sees C:\windows\syswow64 as
// C:\windows\system32 (but for the folders Windows exempts) and the real one as
// C:\windows\sysnative.
//
// Folder listings (names and types, one readdir each) are cached and kept
// right: every listed folder is watched with inotify, and the changes it
// reports are taken in before each answer, so a watched listing is trusted as
// it stands. A change made through this object is also announced with
// Invalidate. A folder that cannot be watched (no inotify, the watch limit
// reached) falls back on its modification time: its entries are looked at
// before a "present" answer, and the folder before a "missing" one (a listing
// read within two seconds of its folder's last change is not trusted for a
// "missing" answer, so that a coarse clock cannot hide a change).
//
// Not resolved: UNC paths (\\server\share), device names (NUL, COM1) and 8.3
// short names.
#pragma once

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files.h"
#include "platform/result.h"

namespace platform::posix {

// Where a Windows path leads.
struct HostLocation {
  char drive = 'C';
  std::string windows_path;  // full form, e.g. "C:\Games\RBR" or "C:\" for a root
  std::string host;          // the entry, or where a missing last name would be
  std::string parent;        // the host folder holding it; "" at a root
  std::string name;          // the last name as stored (as given when missing); "" at a root
  bool is_root = false;
  bool exists = false;
  struct stat status {};  // lstat of `host` when it exists
};

// A host folder's path with a name appended.
std::string JoinHostPath(std::string_view folder, std::string_view name);

// How listings are kept fresh: by watches where the host gives them, or by
// the folders' modification times alone (what a host without inotify gets).
enum class ListingFreshness { kWatched, kModificationTime };

class PrefixPaths {
 public:
  explicit PrefixPaths(std::filesystem::path prefix,
                       ListingFreshness freshness = ListingFreshness::kWatched);
  ~PrefixPaths();
  PrefixPaths(const PrefixPaths&) = delete;
  PrefixPaths& operator=(const PrefixPaths&) = delete;

  const std::filesystem::path& prefix() const { return prefix_; }

  // The full Windows form of a path (GetFullPathName), without looking at the
  // disk. kBadPathname for a UNC path, kPathNotFound for an empty one.
  Result<std::string> FullPath(std::string_view windows_path);

  // kPathNotFound when the drive or a folder on the way is missing, or a file
  // stands where a folder should; a missing last name is a location that does
  // not exist.
  Result<HostLocation> Locate(std::string_view windows_path);

  // The host path of an existing file or folder; nullopt when it does not exist.
  std::optional<std::filesystem::path> HostPath(std::string_view windows_path);

  // Whether the path names a folder, something else, or nothing, answered
  // from its folder's listing (a link is followed, as Wine does for the
  // folder bit); a bad or unresolvable path is absent.
  EntryType TypeOf(std::string_view windows_path);

  // The stored names of an existing folder, "." and ".." left out, freshly
  // checked against the disk.
  Result<std::vector<std::string>> ListFolder(const HostLocation& folder);

  // A drive's root folder; nullopt when the prefix has no such drive.
  std::optional<std::filesystem::path> DriveRoot(char drive);

  // The current folder, in full Windows form. The setter does not look at the
  // disk (the file system checks the folder first).
  std::string CurrentDirectory();
  void SetCurrentDirectory(const std::string& full_path);

  // Whether C:\windows\system32 is seen as a 32-bit program sees it (the default).
  void SetWow64View(bool on);

  // Something changed in this host folder through the caller: its listing is
  // read again when next needed, and what lay below a removed entry is dropped.
  void Invalidate(const std::filesystem::path& host_folder);

 private:
  struct DirNode;
  struct Parsed {
    char drive = 'C';
    std::vector<std::string> components;
  };

  // Into `parsed`, reusing its storage.
  Status Parse(std::string_view windows_path, Parsed& parsed);
  static std::string Join(const Parsed& parsed);
  DirNode* DriveNode(char drive);
  std::optional<std::filesystem::path> FindDriveRoot(char drive) const;
  // Walks down `count` components from the drive's root to a folder node.
  // nullptr when a folder on the way is missing or is no folder; *suspect is
  // set when that answer came from a listing not checked against the disk.
  DirNode* Descend(const Parsed& parsed, std::size_t count, bool verify, bool* suspect);
  // The listed folder holding the last component; nullptr when missing.
  DirNode* ListedParent(const Parsed& parsed, bool verify, bool* suspect);
  // Whether the last lookup's folder is this path's folder too, and still listed.
  bool SameParentAsLast(const Parsed& parsed) const;
  void RememberParent(const Parsed& parsed, DirNode* parent);
  // A listing changed: a remembered folder may be gone or renamed.
  void ForgetParent() { last_parent_ = nullptr; }
  Result<HostLocation> LocateParsed(const Parsed& parsed, bool verify, bool* suspect);
  EntryType TypeOfParsed(const Parsed& parsed, bool verify, bool* suspect);
  // Takes in the changes the watches reported: their folders are listed again.
  void TakeInChanges();
  void Watch(DirNode& node);
  void Unwatch(DirNode& node);
  bool Refresh(DirNode& node);
  bool ReadListing(DirNode& node);
  struct Entry;
  // The entry component `index` names in `folder`, with the 32-bit view applied.
  Entry* FindEntry(DirNode& folder, const Parsed& parsed, std::size_t index);
  // What a 32-bit program's system32 or sysnative stands for; nullptr otherwise.
  const char* Redirection(const Parsed& parsed, std::size_t index, std::string_view key) const;
  void Unindex(DirNode& node);

  const std::filesystem::path prefix_;
  std::mutex mutex_;
  std::string current_ = "C:\\windows\\system32";
  std::map<char, std::string> drive_current_;  // the current folder of each drive used
  bool wow64_view_ = true;
  std::array<std::unique_ptr<DirNode>, 26> drives_;
  std::unordered_map<std::string, DirNode*> index_;  // host folder -> its node
  std::string key_buffer_;                           // the upper-case name being looked up
  std::string text_buffer_;                          // the path being parsed
  Parsed parsed_buffer_;                             // and its components
  // The folder of the last lookup and the path that led there: a check list
  // asks about the files of one folder in a row, each walk from the root
  // would find it again.
  DirNode* last_parent_ = nullptr;
  Parsed last_parent_path_;
  int inotify_ = -1;  // -1: no watches, modification times only
  // Watch descriptor -> the nodes it watches (one folder reached by two paths
  // has one descriptor).
  std::unordered_map<int, std::vector<DirNode*>> watches_;
};

}  // namespace platform::posix
