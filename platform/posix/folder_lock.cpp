#include "platform/posix/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform::posix {

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);  // releases the lock
}

bool FolderLock::TryLock(const std::filesystem::path& folder) {
  if (fd_ >= 0) return true;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;  // nothing to lock: no copy can be told from another
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held_elsewhere = errno == EWOULDBLOCK;
    close(fd);
    return !held_elsewhere;
  }
  fd_ = fd;
  return true;
}

}  // namespace platform::posix
