#include "repairs/registry_writes.h"

#include "components/mRegistry.h"

namespace repairs {

bool WriteStringValues(platform::Registry& registry, platform::RootKey root,
                       std::string_view key_path, const StringValues& values) {
  if (key_path.starts_with('\\')) key_path.remove_prefix(1);
  auto key = registry.CreateKey(root, key_path);
  if (!key) return false;
  struct Closer {
    platform::Registry& registry;
    platform::Registry::Key key;
    ~Closer() { registry.CloseKey(key); }
  } closer{registry, *key};
  for (const auto& [name, text] : values) {
    if (!registry.SetStringValue(*key, name, text)) {
      throw RegistryError("Failed to set data for '" + name + "'");
    }
  }
  return true;
}

}  // namespace repairs
