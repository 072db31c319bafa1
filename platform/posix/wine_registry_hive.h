// One registry file of a Wine prefix (system.reg, user.reg or userdef.reg)
// held in memory as a tree of keys over the file's blocks, and saved back
// atomically. Names are matched without regard to case; a new key or value
// keeps the spelling it was created with, an existing one its own.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/posix/faults.h"
#include "platform/posix/regfile.h"
#include "platform/result.h"

namespace platform::posix {

class RegistryHive {
 public:
  struct Node {
    std::u16string name;
    Node* parent = nullptr;
    std::map<std::string, std::unique_ptr<Node>> children;  // by upper-cased UTF-8 name
    RegFileKey* block = nullptr;  // none when the key is only implied by its subkeys
  };

  // Reads `file`. A missing file is an empty hive; it is created on the first
  // save with Wine's header for `relative_to` and `arch`.
  static Result<std::unique_ptr<RegistryHive>> Load(const std::filesystem::path& file,
                                                    std::u16string_view relative_to,
                                                    std::string_view arch);

  RegistryHive(const RegistryHive&) = delete;
  RegistryHive& operator=(const RegistryHive&) = delete;
  // Frees the tree of keys from a list rather than by recursion: a deep tree
  // would exhaust the stack.
  ~RegistryHive();

  Node& root() { return root_; }
  // The sub-key `name` (UTF-8) of `parent`, or null.
  Node* Child(Node& parent, std::string_view name);
  // Creates the sub-key `name`, which must not exist.
  Node& AddChild(Node& parent, std::string_view name);
  // The value `name` (UTF-8, empty: the default value) of `key`, or null.
  const RegFileValue* Value(const Node& key, std::string_view name) const;
  void SetValue(Node& key, std::string_view name, std::uint32_t type,
                std::vector<std::uint8_t> data);

  const std::filesystem::path& path() const { return path_; }
  const RegFile& file() const { return file_; }
  bool dirty() const { return dirty_; }
  // Writes the file if it changed: a new file beside it, flushed, then renamed
  // over it, so a failure leaves the old file whole. Refuses (kBusy) when the
  // file changed on disk since it was read, rather than overwrite that change.
  Status Save(FaultInjector& faults);  // RegFlushKey fails where `faults` says

 private:
  RegistryHive() = default;

  struct DiskState {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtime_ns = 0;
    bool operator==(const DiskState&) const = default;
  };
  static DiskState Stat(const std::filesystem::path& file);

  void AttachBlock(RegFileKey& block);
  RegFileKey& NewBlock(Node& key);

  std::filesystem::path path_;
  RegFile file_;
  Node root_;
  bool dirty_ = false;
  DiskState disk_;  // the file as last read or written
  // For each block looked up, its values' folded names -> their place.
  mutable std::unordered_map<const RegFileKey*, std::unordered_map<std::string, std::size_t>>
      value_index_;
};

}  // namespace platform::posix
