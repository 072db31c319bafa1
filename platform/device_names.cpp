#include "platform/device_names.h"

#include <algorithm>

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
  // The device is named by what stands before the first dot, blanks trimmed.
  std::string_view stem = component.substr(0, component.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  // Device names are ASCII, and almost every name of a game's files is too: an
  // ASCII stem is compared byte by byte, any other through the full case folding.
  const bool ascii =
      std::all_of(stem.begin(), stem.end(), [](unsigned char c) { return c < 0x80; });
  const auto same = [ascii](std::string_view name, std::string_view device) {
    if (!ascii) return EqualsIgnoreCase(name, device);
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return std::equal(name.begin(), name.end(), device.begin(), device.end(),
                      [&](char a, char b) { return upper(a) == upper(b); });
  };
  for (std::string_view device : kDevices) {
    if (same(stem, device)) return true;
  }
  for (std::string_view port : kNumbered) {
    if (stem.size() > port.size() && same(stem.substr(0, port.size()), port) &&
        IsPortNumber(stem.substr(port.size()))) {
      return true;
    }
  }
  return false;
}

bool NamesDevice(std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    if (IsDeviceName(path.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace platform
