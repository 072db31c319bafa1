#include "platform/posix/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::posix {

namespace {

Error Refused(const std::filesystem::path& file, std::string_view operation, Errc code,
              std::string detail, int os_error = 0) {
  return MakeError(code, std::string(operation), file.string(),
                   static_cast<std::uint32_t>(os_error), std::move(detail));
}

}  // namespace

Result<std::optional<std::string>> ReadHostFile(const std::filesystem::path& file,
                                                std::string_view operation) {
  // Non-blocking: opening a pipe for reading would wait for a writer.
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) return std::optional<std::string>();
    return Refused(file, operation, error == EACCES ? Errc::kAccessDenied : Errc::kIo,
                   std::string("cannot open the file: ") + std::strerror(error), error);
  }
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int error = errno;
    return Refused(file, operation, Errc::kIo, "cannot inspect the file", error);
  }
  if (S_ISDIR(st.st_mode)) {
    return Refused(file, operation, Errc::kAccessDenied,
                   "a folder stands where this file should be");
  }
  if (!S_ISREG(st.st_mode)) {
    return Refused(file, operation, Errc::kAccessDenied, "not a regular file");
  }
  const auto too_large = [&] {
    return Refused(file, operation, Errc::kInvalidData,
                   "larger than " + std::to_string(kMaxHostFileBytes >> 20) + " MiB");
  };
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxHostFileBytes) return too_large();
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);

  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      return Refused(file, operation, Errc::kIo,
                     std::string("cannot read the file: ") + std::strerror(error), error);
    }
    if (n == 0) break;
    // A file may grow while it is read (and /proc's files report no size).
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxHostFileBytes) return too_large();
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return std::optional<std::string>(std::move(bytes));
}

}  // namespace platform::posix
