// The errors the tool reports by exception, with the messages its players
// know ("Cannot open file ..."). Each carries the platform's error behind it
// when a platform call failed, so that a test or a log can tell a missing
// file from a refused one; the message stays the one prescribed. Whoever does
// not catch them ends the current action, and the top-level handler shows the
// message.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace runtime {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& message, std::optional<platform::Error> cause = std::nullopt)
      : std::runtime_error(message), cause_(std::move(cause)) {}

  // The failed platform call; none when the failure is the tool's own finding.
  const std::optional<platform::Error>& cause() const { return cause_; }

 private:
  std::optional<platform::Error> cause_;
};

// A text that is not a whole number: "'1024x' is not a valid integer value".
class ConvertError : public Failure {
 public:
  explicit ConvertError(std::string_view text);
};

// A file that cannot be opened: "Cannot open file " + name.
class FileError : public Failure {
 public:
  FileError(std::string_view name, platform::Error cause);
};

// A file that cannot be created or written: "Cannot create file " + name.
class FileCreateError : public Failure {
 public:
  FileCreateError(std::string_view name, platform::Error cause);
};

}  // namespace runtime
