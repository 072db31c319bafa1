// An exclusive lock on a host folder (flock), held while the object lives:
// the simulated machine's stand-in for a named mutex of the user's session.
// Another process, or another open of the same folder in this one, is
// refused until the holder ends.
#pragma once

#include <filesystem>

namespace platform::posix {

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // True when this object holds the lock, now or from before, or when the
  // folder cannot be opened to ask; false when someone else holds it.
  bool TryLock(const std::filesystem::path& folder);

 private:
  int fd_ = -1;
};

}  // namespace platform::posix
