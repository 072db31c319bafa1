#include "app/terminal_text.h"

#include <cstdio>
#include <optional>

#include "platform/codepage.h"

namespace app {

std::string EscapeControls(std::string_view utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  char escape[8];
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    const std::optional<char32_t> decoded = platform::DecodeUtf8(utf8, i);
    if (!decoded) ++i;  // the malformed byte alone
    const char32_t cp = decoded.value_or(0xFFFD);
    if (!decoded || (cp < 0x20 && cp != '\n' && cp != '\t') || cp == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(utf8[start]));
      shown += escape;
    } else if (cp >= 0x80 && cp <= 0x9F) {
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(cp));
      shown += escape;
    } else {
      shown.append(utf8.substr(start, i - start));
    }
  }
  return shown;
}

}  // namespace app
