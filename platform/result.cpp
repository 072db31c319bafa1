#include "platform/result.h"

namespace platform {

namespace {
const char* CodeName(Errc code) {
  switch (code) {
    case Errc::kFileNotFound:
      return "file not found";
    case Errc::kPathNotFound:
      return "path not found";
    case Errc::kAccessDenied:
      return "access denied";
    case Errc::kAlreadyExists:
      return "already exists";
    case Errc::kNotADirectory:
      return "not a folder";
    case Errc::kBadPathname:
      return "bad path name";
    case Errc::kInvalidData:
      return "invalid data";
    case Errc::kBusy:
      return "in use by another program";
    case Errc::kNotSupported:
      return "not supported";
    case Errc::kIo:
      return "input/output error";
  }
  return "error";
}
}  // namespace

std::string Error::Message() const {
  std::string text = operation.empty() ? std::string() : operation + ": ";
  if (!subject.empty()) text += subject + ": ";
  text += CodeName(code);
  if (!detail.empty()) text += " (" + detail + ")";
  if (os_error != 0) text += " [os error " + std::to_string(os_error) + "]";
  return text;
}

}  // namespace platform
