#include "platform/codepage.h"

#include <array>
#include <cstdint>
#include <optional>

namespace platform {

namespace {

// Code points of bytes 0x80..0x9F; the other bytes map to themselves.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr char32_t kBad = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at text[i], advancing i; kBad (and one byte) when malformed.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  if (const auto cp = DecodeUtf8(text, i)) return *cp;
  ++i;
  return kBad;
}

}  // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int extra = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + extra >= text.size()) return std::nullopt;
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[pos + k]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  pos += extra + 1;
  return cp;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<char16_t>(cp);
  }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      AppendUtf8(out, b < 0xA0 ? kHigh[b - 0x80] : b);
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = NextCodePoint(text, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp >= 0xA0 && cp <= 0xFF) {
      out += static_cast<char>(cp);
    } else {
      char byte = '?';
      for (std::size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] == cp) byte = static_cast<char>(0x80 + k);
      }
      out += byte;
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = NextCodePoint(text, i);
    AppendUtf16(out, cp == kBad ? 0xFFFD : cp);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::wstring Utf8ToWide(std::string_view text) {
  if constexpr (sizeof(wchar_t) == 2) {
    const std::u16string utf16 = Utf8ToUtf16(text);
    return std::wstring(utf16.begin(), utf16.end());
  } else {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
      const char32_t cp = NextCodePoint(text, i);
      wide.push_back(static_cast<wchar_t>(cp == kBad ? 0xFFFD : cp));
    }
    return wide;
  }
}

std::string WideToUtf8(std::wstring_view text) {
  std::u16string utf16;
  utf16.reserve(text.size());
  for (const wchar_t c : text) {
    const auto cp = static_cast<std::uint32_t>(c);
    AppendUtf16(utf16, cp > 0x10FFFF ? 0xFFFD : cp);
  }
  return Utf16ToUtf8(utf16);
}

}  // namespace platform
