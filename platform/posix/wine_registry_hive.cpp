#include "platform/posix/wine_registry_hive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/codepage.h"
#include "platform/posix/faults.h"
#include "platform/posix/host_file.h"
#include "platform/text.h"

namespace platform::posix {

namespace {

std::string Folded(std::u16string_view name) { return UpperCase(Utf16ToUtf8(name)); }

std::vector<std::u16string_view> SplitPath(std::u16string_view path) {
  std::vector<std::u16string_view> names;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// wineserver's order of keys in a file: depth first, sub-keys sorted by their
// upper-cased names.
int ComparePaths(std::u16string_view a, std::u16string_view b) {
  const auto x = SplitPath(a);
  const auto y = SplitPath(b);
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
    const int order = CompareIgnoreCase(Utf16ToUtf8(x[i]), Utf16ToUtf8(y[i]));
    if (order != 0) return order;
  }
  return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

std::u16string PathOf(const RegistryHive::Node& key) {
  std::u16string path;
  for (const RegistryHive::Node* node = &key; node->parent != nullptr; node = node->parent) {
    path.insert(0, path.empty() ? node->name : node->name + u'\\');
  }
  return path;
}

Error SaveError(const std::filesystem::path& file, std::string detail, int os_error = 0) {
  return MakeError(Errc::kIo, "RegFlushKey", file.string(), static_cast<std::uint32_t>(os_error),
                   std::move(detail));
}

// Writes `bytes` to a new file beside `file`, flushes it and renames it over
// `file`; on failure the new file is removed and `file` is untouched.
Status ReplaceFile(const std::filesystem::path& file, std::string_view bytes, mode_t mode) {
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  std::string temp = file.string() + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return SaveError(file, "cannot create a temporary file", errno);
  const auto fail = [&](const char* what) {
    const int error = errno;
    close(fd);
    unlink(temp.c_str());
    return SaveError(file, what, error);
  };
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail("cannot write the temporary file");
    done += static_cast<std::size_t>(n);
  }
  if (fchmod(fd, mode) != 0) return fail("cannot set the file's mode");
  if (fsync(fd) != 0) return fail("cannot flush the temporary file");
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return SaveError(file, "cannot close the temporary file", error);
  }
  if (rename(temp.c_str(), file.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return SaveError(file, "cannot rename the temporary file", error);
  }
  const int dir = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);  // the rename itself survives a crash
    close(dir);
  }
  return {};
}

}  // namespace

RegistryHive::DiskState RegistryHive::Stat(const std::filesystem::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino, st.st_size,
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

Result<std::unique_ptr<RegistryHive>> RegistryHive::Load(const std::filesystem::path& file,
                                                         std::u16string_view relative_to,
                                                         std::string_view arch) {
  auto hive = std::unique_ptr<RegistryHive>(new RegistryHive());
  hive->path_ = file;
  hive->disk_ = Stat(file);
  Result<std::optional<std::string>> read = ReadHostFile(file, "LoadRegistryFile");
  if (!read) return read.error();
  if (!*read) {
    hive->file_.header = NewRegFileHeader(relative_to, arch);
    hive->file_.relative_to = std::u16string(relative_to);
    hive->file_.arch = std::string(arch);
    return hive;
  }
  const std::string& bytes = **read;
  Result<RegFile> parsed = ParseRegFile(bytes, file.filename().string(), FileTimeNow());
  if (!parsed) {
    Error error = parsed.error();
    error.subject = file.string();
    return error;
  }
  hive->file_ = std::move(*parsed);
  for (RegFileKey& block : hive->file_.keys) hive->AttachBlock(block);
  return hive;
}

RegistryHive::~RegistryHive() {
  std::vector<std::unique_ptr<Node>> pending;
  const auto take_children = [&pending](Node& node) {
    for (auto& [name, child] : node.children) pending.push_back(std::move(child));
    node.children.clear();
  };
  take_children(root_);
  while (!pending.empty()) {
    std::unique_ptr<Node> node = std::move(pending.back());
    pending.pop_back();
    take_children(*node);
  }  // each node is freed here, its children already moved out
}

void RegistryHive::AttachBlock(RegFileKey& block) {
  Node* node = &root_;
  for (std::u16string_view name : SplitPath(block.path)) {
    auto& child = node->children[Folded(name)];
    if (!child) {
      child = std::make_unique<Node>();
      child->name = std::u16string(name);
      child->parent = node;
    }
    node = child.get();
  }
  node->block = &block;
}

RegistryHive::Node* RegistryHive::Child(Node& parent, std::string_view name) {
  const auto it = parent.children.find(UpperCase(name));
  return it == parent.children.end() ? nullptr : it->second.get();
}

RegistryHive::Node& RegistryHive::AddChild(Node& parent, std::string_view name) {
  // wineserver writes a key only for its values, class or link, or when it has
  // no sub-keys; a key that is only a parent is implied by its sub-keys' blocks.
  RegFileKey* block = parent.block;
  if (block != nullptr && block->values.empty() && !block->key_class && !block->is_link) {
    value_index_.erase(block);
    file_.keys.remove_if([block](const RegFileKey& key) { return &key == block; });
    parent.block = nullptr;
  }
  auto& child = parent.children[UpperCase(name)];
  child = std::make_unique<Node>();
  child->name = Utf8ToUtf16(name);
  child->parent = &parent;
  NewBlock(*child);
  dirty_ = true;
  return *child;
}

RegFileKey& RegistryHive::NewBlock(Node& key) {
  RegFileKey block;
  block.path = PathOf(key);
  block.modified = FileTimeNow();
  auto at = file_.keys.begin();
  while (at != file_.keys.end() && ComparePaths(at->path, block.path) < 0) ++at;
  key.block = &*file_.keys.insert(at, std::move(block));
  return *key.block;
}

const RegFileValue* RegistryHive::Value(const Node& key, std::string_view name) const {
  if (key.block == nullptr) return nullptr;
  // Built on the first lookup in a key: a key of many values is not scanned
  // (and folded) again for each name asked.
  auto [index, built] = value_index_.try_emplace(key.block);
  if (built) {
    const std::vector<RegFileValue>& values = key.block->values;
    for (std::size_t i = 0; i < values.size(); ++i) {
      index->second.try_emplace(Folded(values[i].name), i);
    }
  }
  const auto at = index->second.find(UpperCase(name));
  return at == index->second.end() ? nullptr : &key.block->values[at->second];
}

void RegistryHive::SetValue(Node& key, std::string_view name, std::uint32_t type,
                            std::vector<std::uint8_t> data) {
  RegFileKey& block = key.block != nullptr ? *key.block : NewBlock(key);
  value_index_.erase(&block);  // the values move
  block.text.clear();          // written anew, in Wine's format
  block.modified = FileTimeNow();
  dirty_ = true;
  const std::string folded = UpperCase(name);
  for (RegFileValue& value : block.values) {
    if (Folded(value.name) == folded) {  // the stored spelling of the name stays
      value.type = type;
      value.data = std::move(data);
      return;
    }
  }
  // wineserver keeps a key's values sorted by their upper-cased names.
  auto at = block.values.begin();
  while (at != block.values.end() && CompareIgnoreCase(Utf16ToUtf8(at->name), name) < 0) ++at;
  block.values.insert(at, RegFileValue{Utf8ToUtf16(name), type, std::move(data)});
}

Status RegistryHive::Save(FaultInjector& faults) {
  if (!dirty_) return {};
  if (Stat(path_) != disk_) {
    return MakeError(Errc::kBusy, "RegFlushKey", path_.string(), 0,
                     "the file was changed by another program since it was read; the registry "
                     "changes of this run are not saved, so as not to overwrite it");
  }
  if (faults.ShouldFail(FaultOperation::kRegFlushKey)) return SaveError(path_, "injected fault");
  struct stat st {};
  const mode_t mode = stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (Status replaced = ReplaceFile(path_, FormatRegFile(file_), mode); !replaced) return replaced;
  dirty_ = false;
  disk_ = Stat(path_);
  return {};
}

}  // namespace platform::posix
