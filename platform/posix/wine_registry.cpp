#include "platform/posix/wine_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/codepage.h"
#include "platform/posix/faults.h"
#include "platform/text.h"

namespace platform::posix {

namespace {

constexpr std::u16string_view kDefaultUserSid = u"S-1-5-21-0-0-0-1000";
constexpr int kMaxLinks = 16;

// Registry paths name keys with '\' between names; repeated and trailing
// separators are skipped, as wineserver skips them.
std::vector<std::string> SplitNames(std::string_view path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) names.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

bool Is(std::string_view name, std::string_view upper) { return UpperCase(name) == upper; }

// The failure of this call of the operation when one is armed, named as the call.
std::optional<Error> InjectedFault(FaultInjector& faults, FaultOperation operation,
                                   std::string_view subject) {
  if (!faults.ShouldFail(operation)) return std::nullopt;
  return MakeError(Errc::kAccessDenied, std::string(FaultName(operation)), std::string(subject), 0,
                   "injected fault");
}

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> data;
  data.reserve(text.size() * 2 + 2);
  for (char16_t c : text) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return data;
}

// The tmp folder under which a wineserver makes its server folder: upstream
// Wine uses /tmp/.wine-<uid>; Debian's Wine a random folder below $TMPDIR (or
// /tmp) whose name it keeps in the prefix's file "wineserver".
std::vector<std::filesystem::path> ServerRoots(const std::filesystem::path& prefix) {
  std::vector<std::filesystem::path> roots{"/tmp/.wine-" + std::to_string(getuid())};
  std::ifstream in(prefix / "wineserver");
  std::string name;
  if (std::getline(in, name) && !name.empty() && name.find('/') == std::string::npos) {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && *tmp != '\0') roots.push_back(std::filesystem::path(tmp) / name);
    roots.push_back(std::filesystem::path("/tmp") / name);
  }
  return roots;
}

}  // namespace

bool WineServerRunning(const std::filesystem::path& prefix) {
  struct stat st {};
  if (stat(prefix.c_str(), &st) != 0) return false;
  char folder[64];
  std::snprintf(folder, sizeof folder, "server-%llx-%llx",
                static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  for (const std::filesystem::path& root : ServerRoots(prefix)) {
    const int fd = open((root / folder / "lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    // The server holds a write lock on the lock file's first byte while it
    // runs, until after it has saved the registry.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    const bool held = fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    close(fd);
    if (held) return true;
  }
  return false;
}

Result<std::unique_ptr<WineRegistry>> WineRegistry::Open(const std::filesystem::path& prefix,
                                                         std::shared_ptr<FaultInjector> faults) {
  auto machine = RegistryHive::Load(prefix / "system.reg", u"REGISTRY\\Machine", "win64");
  if (!machine) return machine.error();
  const std::string arch = (*machine)->file().arch.empty() ? "win64" : (*machine)->file().arch;
  auto user = RegistryHive::Load(prefix / "user.reg",
                                 u"REGISTRY\\User\\" + std::u16string(kDefaultUserSid), arch);
  if (!user) return user.error();
  auto default_user = RegistryHive::Load(prefix / "userdef.reg", u"REGISTRY\\User\\.Default", arch);
  if (!default_user) return default_user.error();

  auto registry = std::unique_ptr<WineRegistry>(new WineRegistry(prefix, std::move(faults)));
  registry->wow64_ = arch == "win64";
  // The user's SID is the last name of the root user.reg is relative to.
  const std::u16string& relative_to = (*user)->file().relative_to;
  const std::size_t last = relative_to.rfind(u'\\');
  registry->user_sid_ = last == std::u16string::npos || last + 1 == relative_to.size()
                            ? std::u16string(kDefaultUserSid)
                            : relative_to.substr(last + 1);
  registry->machine_ = std::move(*machine);
  registry->user_ = std::move(*user);
  registry->default_user_ = std::move(*default_user);
  return registry;
}

WineRegistry::~WineRegistry() {
  if (Status saved = Flush(); !saved) {
    // Nothing is left to return the error to; say it rather than lose it quietly.
    std::cerr << "registry changes not saved: " << saved.error().Message() << "\n";
  }
}

Status WineRegistry::Flush() {
  Status result;
  for (RegistryHive* hive : {machine_.get(), user_.get(), default_user_.get()}) {
    if (!hive->dirty()) continue;
    Status saved = WineServerRunning(prefix_)
                       ? Status(MakeError(Errc::kBusy, "RegFlushKey", hive->path().string(), 0,
                                          "a wineserver is running in the prefix"))
                       : hive->Save(*faults_);
    if (!saved && result) result = saved;
  }
  return result;
}

Status WineRegistry::RefuseIfServerRunning(std::string_view operation,
                                           std::string_view subject) const {
  if (!WineServerRunning(prefix_)) return {};
  return MakeError(Errc::kBusy, std::string(operation), std::string(subject), 0,
                   "a wineserver is running in the Wine prefix " + prefix_.string() +
                       " and would overwrite this change when it exits; stop it (wineserver -k, "
                       "or wait with wineserver -w) and try again");
}

Result<WineRegistry::Location> WineRegistry::Resolve(RootKey root, std::string_view path,
                                                     bool create, std::string_view operation) {
  const std::string subject = KeyDisplayName(root, path);
  if (StartsWith(path, "\\")) {
    // Only HKEY_CLASSES_ROOT takes a path with a leading backslash.
    if (root != RootKey::kClassesRoot) {
      return MakeError(Errc::kBadPathname, std::string(operation), subject);
    }
    path.remove_prefix(1);
  }
  std::vector<std::string> names = SplitNames(path);
  const auto below = [&](std::vector<std::string> head) {
    head.insert(head.end(), names.begin(), names.end());
    return head;
  };
  switch (root) {
    case RootKey::kCurrentUser:
      return Walk({user_.get(), &user_->root()}, names, create, operation, subject);
    case RootKey::kClassesRoot: {
      // The user's classes first; new keys go to the machine's.
      Result<Location> user = Walk({user_.get(), &user_->root()}, below({"Software", "Classes"}),
                                   false, operation, subject);
      if (user || user.error().code != Errc::kFileNotFound) return user;
      return Walk({machine_.get(), &machine_->root()}, below({"Software", "Classes"}), create,
                  operation, subject);
    }
    case RootKey::kUsers: {
      if (names.empty()) return Location{};
      const std::string sid = Utf16ToUtf8(user_sid_);
      RegistryHive* hive = Is(names[0], ".DEFAULT")       ? default_user_.get()
                           : Is(names[0], UpperCase(sid)) ? user_.get()
                                                          : nullptr;
      if (hive == nullptr) {
        // Hives are loaded, never created, below HKEY_USERS.
        return MakeError(create ? Errc::kAccessDenied : Errc::kFileNotFound, std::string(operation),
                         subject);
      }
      names.erase(names.begin());
      return Walk({hive, &hive->root()}, names, create, operation, subject);
    }
    case RootKey::kCurrentConfig:
      return Walk({machine_.get(), &machine_->root()},
                  below({"System", "CurrentControlSet", "Hardware Profiles", "Current"}), create,
                  operation, subject);
    case RootKey::kLocalMachine:
      break;
  }
  // The 32-bit view: HKLM\Software\X is Software\Wow6432Node\X in a 64-bit
  // prefix, except the shared Software\Classes.
  if (wow64_ && !names.empty() && Is(names[0], "SOFTWARE") &&
      (names.size() == 1 || (!Is(names[1], "CLASSES") && !Is(names[1], "WOW6432NODE")))) {
    names.insert(names.begin() + 1, "Wow6432Node");
  }
  return Walk({machine_.get(), &machine_->root()}, names, create, operation, subject);
}

Result<WineRegistry::Location> WineRegistry::Walk(Location at, std::vector<std::string> names,
                                                  bool create, std::string_view operation,
                                                  std::string_view subject) {
  std::reverse(names.begin(), names.end());  // a stack: the next name last
  int links = 0;
  while (!names.empty()) {
    const std::string name = std::move(names.back());
    names.pop_back();
    RegistryHive::Node* child = at.hive->Child(*at.node, name);
    if (child == nullptr) {
      if (!create)
        return MakeError(Errc::kFileNotFound, std::string(operation), std::string(subject));
      child = &at.hive->AddChild(*at.node, name);
    }
    at.node = child;
    if (child->block != nullptr && child->block->is_link) {
      if (++links > kMaxLinks) {
        return MakeError(Errc::kInvalidData, std::string(operation), std::string(subject), 0,
                         "too many symbolic links");
      }
      Result<Location> target = LinkTarget(*at.hive, *child, names, operation, subject);
      if (!target) return target;
      at = *target;
    }
  }
  return at;
}

// The hive root a link's "SymbolicLinkValue" (\Registry\Machine\..., or
// \Registry\User\<SID>\...) names; the names below it are pushed onto `names`.
Result<WineRegistry::Location> WineRegistry::LinkTarget(RegistryHive& hive,
                                                        const RegistryHive::Node& link,
                                                        std::vector<std::string>& names,
                                                        std::string_view operation,
                                                        std::string_view subject) {
  const Error not_found = MakeError(Errc::kFileNotFound, std::string(operation),
                                    std::string(subject), 0, "dangling symbolic link");
  const RegFileValue* value = hive.Value(link, "SymbolicLinkValue");
  if (value == nullptr || value->type != reg_type::kLink) return not_found;
  const std::string text = RegistryValue{value->type, value->data}.Text();
  std::vector<std::string> path = SplitNames(text);
  if (path.size() < 2 || !Is(path[0], "REGISTRY")) return not_found;
  std::size_t skip = 2;
  RegistryHive* target = nullptr;
  if (Is(path[1], "MACHINE")) {
    target = machine_.get();
  } else if (Is(path[1], "USER") && path.size() >= 3) {
    skip = 3;
    if (Is(path[2], ".DEFAULT")) target = default_user_.get();
    if (Is(path[2], UpperCase(Utf16ToUtf8(user_sid_)))) target = user_.get();
  }
  if (target == nullptr) return not_found;
  for (std::size_t i = path.size(); i > skip; --i) names.push_back(std::move(path[i - 1]));
  return Location{target, &target->root()};
}

WineRegistry::Key WineRegistry::AddHandle(Location location, KeyAccess access) {
  const Key key = next_key_++;
  handles_.emplace(key, Handle{location, access});
  return key;
}

WineRegistry::Handle* WineRegistry::Find(Key key) {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

Result<Registry::Key> WineRegistry::OpenKey(RootKey root, std::string_view path, KeyAccess access) {
  if (auto fault =
          InjectedFault(*faults_, FaultOperation::kRegOpenKeyEx, KeyDisplayName(root, path)))
    return *fault;
  Result<Location> location = Resolve(root, path, false, "RegOpenKeyEx");
  if (!location) return location.error();
  return AddHandle(*location, access);
}

Result<Registry::Key> WineRegistry::CreateKey(RootKey root, std::string_view path) {
  const std::string subject = KeyDisplayName(root, path);
  if (auto fault = InjectedFault(*faults_, FaultOperation::kRegCreateKeyEx, subject)) return *fault;
  Result<Location> location = Resolve(root, path, false, "RegCreateKeyEx");
  if (!location && location.error().code == Errc::kFileNotFound) {
    if (Status free = RefuseIfServerRunning("RegCreateKeyEx", subject); !free) return free.error();
    location = Resolve(root, path, true, "RegCreateKeyEx");
  }
  if (!location) return location.error();
  return AddHandle(*location, KeyAccess::kAll);
}

Result<RegistryValue> WineRegistry::QueryValue(Key key, std::string_view name) {
  const Handle* handle = Find(key);
  if (handle == nullptr) {
    return MakeError(Errc::kIo, "RegQueryValueEx", std::string(name), 0, "not an open key");
  }
  if (auto fault = InjectedFault(*faults_, FaultOperation::kRegQueryValueEx, name)) return *fault;
  const Location& at = handle->location;
  const RegFileValue* value = at.hive == nullptr ? nullptr : at.hive->Value(*at.node, name);
  if (value == nullptr) return MakeError(Errc::kFileNotFound, "RegQueryValueEx", std::string(name));
  return RegistryValue{value->type, value->data};
}

Status WineRegistry::SetStringValue(Key key, std::string_view name, std::string_view text) {
  const Handle* handle = Find(key);
  if (handle == nullptr) {
    return MakeError(Errc::kIo, "RegSetValueEx", std::string(name), 0, "not an open key");
  }
  if (auto fault = InjectedFault(*faults_, FaultOperation::kRegSetValueEx, name)) return *fault;
  const Location& at = handle->location;
  if (handle->access != KeyAccess::kAll || at.hive == nullptr) {
    return MakeError(Errc::kAccessDenied, "RegSetValueEx", std::string(name));
  }
  if (Status free = RefuseIfServerRunning("RegSetValueEx", name); !free) return free;
  std::vector<std::uint8_t> data = Utf16Bytes(Utf8ToUtf16(text));
  data.insert(data.end(), {0, 0});  // the terminating NUL
  at.hive->SetValue(*at.node, name, reg_type::kSz, std::move(data));
  return {};
}

void WineRegistry::CloseKey(Key key) {
  const auto it = handles_.find(key);
  if (it == handles_.end()) return;
  RegistryHive* hive = it->second.location.hive;
  handles_.erase(it);
  if (hive == nullptr || !hive->dirty()) return;
  for (const auto& [other, handle] : handles_) {
    if (handle.location.hive == hive) return;  // saved when its last key closes
  }
  // A failed save leaves the changes in memory; Flush and the destructor retry.
  if (!WineServerRunning(prefix_)) static_cast<void>(hive->Save(*faults_));
}

}  // namespace platform::posix
