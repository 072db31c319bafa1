#include "platform/device_names.h"

#include "platform/text.h"

namespace platform {

namespace {

constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
// COM and LPT take a decimal digit or a superscript one, two or three.
constexpr std::string_view kNumbered[] = {"COM", "LPT"};
constexpr std::string_view kSuperscripts[] = {"¹", "²", "³"};

bool IsPortNumber(std::string_view text) {
  if (text.size() == 1) return text[0] >= '0' && text[0] <= '9';
  for (std::string_view superscript : kSuperscripts) {
    if (text == superscript) return true;
  }
  return false;
}

}  // namespace

bool IsDeviceName(std::string_view component) {
  // Every device name starts with A, C, L, N or P, and takes three to seven
  // bytes ("COM¹" is five); no other character folds into their letters. Most
  // names of a game's files are told apart by these alone.
  switch (component.empty() ? 0 : component[0] | 0x20) {
    case 'a':
    case 'c':
    case 'l':
    case 'n':
    case 'p':
      break;
    default:
      return false;
  }
  // The device is named by what stands before the first dot, blanks trimmed.
  std::string_view stem = component.substr(0, component.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  if (stem.size() < 3 || stem.size() > 7) return false;
  for (std::string_view device : kDevices) {
    if (EqualsIgnoreCase(stem, device)) return true;
  }
  for (std::string_view port : kNumbered) {
    if (stem.size() > port.size() && EqualsIgnoreCase(stem.substr(0, port.size()), port) &&
        IsPortNumber(stem.substr(port.size()))) {
      return true;
    }
  }
  return false;
}

bool NamesDevice(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t end = 0; end <= path.size(); ++end) {
    if (end < path.size() && path[end] != '\\' && path[end] != '/') continue;
    if (IsDeviceName(path.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace platform
