#include "components/mRegistry.h"

namespace {

// Closes an open key when it goes out of scope, also on an exception.
class OpenedKey {
 public:
  OpenedKey(platform::Registry& registry, platform::Registry::Key key)
      : registry_(registry), key_(key) {}
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() { registry_.CloseKey(key_); }
  platform::Registry::Key get() const { return key_; }

 private:
  platform::Registry& registry_;
  platform::Registry::Key key_;
};

std::string Quoted(std::string_view format_start, std::string_view name) {
  return std::string(format_start) + " '" + std::string(name) + "'";
}

}  // namespace

std::string TmRegistry::About() const { return "TmRegistry 1.2 - registry access for Remedor"; }

platform::RootKey TmRegistry::Root() const {
  switch (RootKey) {
    case rkHKEY_CLASSES_ROOT:
      return platform::RootKey::kClassesRoot;
    case rkHKEY_CURRENT_USER:
      return platform::RootKey::kCurrentUser;
    case rkHKEY_USERS:
      return platform::RootKey::kUsers;
    case rkHKEY_CURRENT_CONFIG:
      return platform::RootKey::kCurrentConfig;
    case rkHKEY_LOCAL_MACHINE:
      break;
  }
  return platform::RootKey::kLocalMachine;
}

// No key is open when an operation starts, so a path with or without its
// leading backslash is taken from the root; a trailing one is left to the
// platform, which accepts it.
std::string_view TmRegistry::Path() const {
  std::string_view path = Key;
  if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  return path;
}

std::string TmRegistry::ReadValue(std::string_view Name) const {
  // Read access is enough, and is all that a key writable only by others
  // grants.
  platform::Result<platform::Registry::Key> opened =
      registry_.OpenKey(Root(), Path(), platform::KeyAccess::kRead);
  if (!opened) return "";
  const OpenedKey key(registry_, *opened);
  platform::Result<platform::RegistryValue> value = registry_.QueryValue(key.get(), Name);
  if (!value) {
    if (value.error().code == platform::Errc::kFileNotFound) return "";
    throw RegistryError(Quoted("Failed to get data for", Name), value.error());
  }
  if (value->data.empty()) return "";
  if (value->type != platform::reg_type::kSz && value->type != platform::reg_type::kExpandSz) {
    throw RegistryError(Quoted("Invalid data type for", Name));
  }
  return value->Text();
}

void TmRegistry::AddValue(std::string_view Name, std::string_view Value) {
  pending_.emplace_back(Name, Value);
}

bool TmRegistry::WriteValues() {
  const platform::RootKey root = Root();
  const std::string_view path = Path();
  platform::Result<platform::Registry::Key> opened =
      registry_.OpenKey(root, path, platform::KeyAccess::kRead);
  const bool exists = opened.ok();
  if (exists) registry_.CloseKey(*opened);
  if (exists) {
    opened = registry_.OpenKey(root, path, platform::KeyAccess::kAll);
  } else {
    if (!CanCreate) return false;
    opened = registry_.CreateKey(root, path);
  }
  if (!opened) return false;
  const OpenedKey key(registry_, *opened);
  for (const auto& [name, value] : pending_) {
    if (platform::Status set = registry_.SetStringValue(key.get(), name, value); !set) {
      throw RegistryError(Quoted("Failed to set data for", name), set.error());
    }
  }
  return true;
}
