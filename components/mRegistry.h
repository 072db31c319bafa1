// TmRegistry: one registry key, named by a root and a path, from which one
// string value is read at a time, or to which a batch of string values queued
// beforehand is written. Every call opens the key itself and closes it before
// returning, so a change of RootKey or Key takes effect at the next call.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "runtime/errors.h"

// The roots offered; any other value stands for HKEY_LOCAL_MACHINE.
enum TmRootKey : int {
  rkHKEY_CLASSES_ROOT,
  rkHKEY_CURRENT_USER,
  rkHKEY_LOCAL_MACHINE,
  rkHKEY_USERS,
  rkHKEY_CURRENT_CONFIG,
};

// A value of the wrong type, or a read or write the platform refused (its
// error is the cause); the message names the value: "Invalid data type for 'Version'".
class RegistryError : public runtime::Failure {
 public:
  using runtime::Failure::Failure;
};

class TmRegistry {
 public:
  explicit TmRegistry(platform::Registry& registry) : registry_(registry) {}

  TmRootKey RootKey = rkHKEY_LOCAL_MACHINE;
  // The path below the root; one leading backslash is dropped.
  std::string Key = "\\software\\Remedor\\mRegistry";
  // Whether WriteValues may create a missing key; reading never creates one.
  bool CanCreate = true;
  // Fixed text; there is nothing to assign.
  std::string About() const;

  // The text of the string value Name ("" is the default value), unexpanded;
  // "" when the key or the value is missing or the value is empty. Throws
  // RegistryError for a value that is not a string, or a failed read.
  std::string ReadValue(std::string_view Name) const;
  // Queues a pair for WriteValues; touches no key.
  void AddValue(std::string_view Name, std::string_view Value);
  // Writes every queued pair, in order, as REG_SZ values; the queue stays as
  // it is. False when the key could not be opened or created (nothing written);
  // throws RegistryError when a value write fails (the pairs after it are not
  // written, those before it stay written).
  [[nodiscard]] bool WriteValues();

 private:
  platform::RootKey Root() const;
  std::string_view Path() const;

  platform::Registry& registry_;
  std::vector<std::pair<std::string, std::string>> pending_;
};
