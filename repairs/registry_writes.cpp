#include "repairs/registry_writes.h"

namespace repairs {

bool WriteStringValues(platform::Registry& registry, TmRootKey root, std::string_view key,
                       const StringValues& values) {
  TmRegistry writer(registry);
  writer.RootKey = root;
  writer.Key = std::string(key);
  for (const auto& [name, text] : values) writer.AddValue(name, text);
  return writer.WriteValues();
}

}  // namespace repairs
