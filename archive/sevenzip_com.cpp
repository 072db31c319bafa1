#include "archive/sevenzip_com.h"

#include "platform/codepage.h"

namespace archive::com {

BSTR LibraryStrings::Allocate(std::string_view utf8) const {
  const std::wstring wide = Utf8ToWide(utf8);
  return allocate_(wide.data(), static_cast<std::uint32_t>(wide.size()));
}

void LibraryStrings::Free(BSTR text) const {
  if (text) free_(text);
}

void LibraryStrings::Clear(PropVariant& value) const {
  if (value.type == vt::kBstr) Free(value.bstr);
  value = PropVariant();
}

std::string WideToUtf8(std::wstring_view wide) {
  if constexpr (sizeof(wchar_t) == 2) {
    return platform::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
  } else {
    // UTF-32: split what lies above the basic plane into surrogate pairs and
    // let the one codec do the rest (it turns anything unpaired into U+FFFD).
    std::u16string utf16;
    utf16.reserve(wide.size());
    for (const wchar_t c : wide) {
      const auto code = static_cast<std::uint32_t>(c);
      if (code >= 0x10000 && code <= 0x10FFFF) {
        utf16.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
        utf16.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
      } else {
        utf16.push_back(code > 0x10FFFF ? u'\uFFFD' : static_cast<char16_t>(code));
      }
    }
    return platform::Utf16ToUtf8(utf16);
  }
}

std::wstring Utf8ToWide(std::string_view utf8) {
  const std::u16string utf16 = platform::Utf8ToUtf16(utf8);
  if constexpr (sizeof(wchar_t) == 2) {
    return std::wstring(utf16.begin(), utf16.end());
  } else {
    std::wstring wide;
    wide.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
      const char16_t c = utf16[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
          utf16[i + 1] < 0xE000) {
        wide.push_back(
            static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00)));
        ++i;
      } else {
        wide.push_back(static_cast<wchar_t>(c));
      }
    }
    return wide;
  }
}

}  // namespace archive::com
