// One error type for every platform operation, whichever backend answers it.
// A failure carries a portable code, the operating system's own code, the
// operation that failed and the path (or key) it was about.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// Portable error codes. Both backends map their native errors onto these, so
// tests check the same codes against Wine, Windows and the simulated machine.
enum class Errc {
  kFileNotFound,   // ERROR_FILE_NOT_FOUND, ENOENT on the last component
  kPathNotFound,   // ERROR_PATH_NOT_FOUND, a missing folder on the way
  kAccessDenied,   // ERROR_ACCESS_DENIED, EACCES/EPERM
  kAlreadyExists,  // ERROR_ALREADY_EXISTS / ERROR_FILE_EXISTS
  kNotADirectory,  // ERROR_DIRECTORY: a file used as a folder
  kBadPathname,    // ERROR_BAD_PATHNAME
  kInvalidData,    // malformed stored data (a registry file, an image)
  kBusy,           // the resource is held by another program (a running wineserver)
  kNotSupported,   // the backend cannot do this
  kIo,             // any other failure of the operating system
};

struct Error {
  Errc code = Errc::kIo;
  std::uint32_t os_error = 0;  // GetLastError() or errno, 0 when none
  std::string operation;       // the platform call, e.g. "RegOpenKeyEx"
  std::string subject;         // the path, key or name it was about
  std::string detail;          // free text, e.g. "line 12: bad escape"

  std::string Message() const;
};

// Result of an operation that yields a T or an Error. On failure the value is
// absent; on success error() must not be used.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : error_(std::move(error)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  const Error& error() const { return error_; }

 private:
  std::optional<T> value_;
  Error error_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : failed_(true), error_(std::move(error)) {}  // NOLINT

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return error_; }

 private:
  bool failed_ = false;
  Error error_;
};

using Status = Result<void>;

inline Error MakeError(Errc code, std::string operation, std::string subject,
                       std::uint32_t os_error = 0, std::string detail = {}) {
  return Error{code, os_error, std::move(operation), std::move(subject), std::move(detail)};
}

}  // namespace platform
