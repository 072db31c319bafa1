#include "platform/registry.h"

#include "platform/codepage.h"

namespace platform {

std::string RegistryValue::Text() const {
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    wide += c;
  }
  return Utf16ToUtf8(wide);
}

}  // namespace platform
