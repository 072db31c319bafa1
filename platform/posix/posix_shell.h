// The shell service of the simulated machine. Downloads are real (libcurl,
// HTTP and HTTPS only) and land in the machine's own drives through its file
// system. Opening an address in the browser or a folder in the file manager
// starts no program of the host: the event goes to a hook that the front end
// installs (the headless driver records it, tests look at it).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/files.h"
#include "platform/posix/faults.h"
#include "platform/shell.h"

namespace platform::posix {

// Bounds of one download, so that a silent or endless server cannot hold the
// caller for long.
struct DownloadLimits {
  std::chrono::milliseconds connect_timeout{10'000};
  std::chrono::milliseconds total_timeout{20'000};
  std::size_t max_bytes = 64 * 1024;  // a larger answer fails the download
};

class PosixShell : public Shell {
 public:
  // kind is "browser" (target: the address) or "folder" (target: the folder).
  using EventHook = std::function<void(std::string kind, std::string target)>;

  // Downloads fail where `faults` says.
  PosixShell(FileSystem& files, FaultInjector& faults, DownloadLimits limits = {});

  // Fails (kIo) on a connection error, a time-out, an HTTP error status, an
  // answer over the size bound or an address that is not http:// or https://;
  // the local file is written only after a complete answer.
  Status Download(std::string_view url, std::string_view local_path) override;
  void OpenInBrowser(std::string_view url) override;
  void OpenFolder(std::string_view folder) override;

  // Set before the shell is used; events without a hook are dropped.
  void SetEventHook(EventHook hook) { hook_ = std::move(hook); }
  void SetDownloadLimits(DownloadLimits limits) { limits_ = limits; }

 private:
  FileSystem& files_;
  FaultInjector& faults_;
  DownloadLimits limits_;
  EventHook hook_;
};

}  // namespace platform::posix
