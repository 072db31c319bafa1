#include "platform/text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace platform {

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

char16_t FoldUpper(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 32;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  switch (c) {
    case 0xFF:
      return 0x178;
    case 0x161:
      return 0x160;
    case 0x153:
      return 0x152;
    case 0x17E:
      return 0x17D;
    default:
      return c;
  }
}

char16_t FoldLower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  switch (c) {
    case 0x178:
      return 0xFF;
    case 0x160:
      return 0x161;
    case 0x152:
      return 0x153;
    case 0x17D:
      return 0x17E;
    default:
      return c;
  }
}

template <class Fold>
std::string Map(std::string_view text, Fold fold) {
  if (std::all_of(text.begin(), text.end(), IsAscii)) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(fold(static_cast<char16_t>(c)));
    return out;
  }
  std::u16string wide = Utf8ToUtf16(text);
  for (char16_t& c : wide) c = fold(c);
  return Utf16ToUtf8(wide);
}

}  // namespace

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += IsContinuation(c) ? 0 : 1;
  return n;
}

std::string Utf8Substr(std::string_view text, std::size_t start, std::size_t count) {
  std::size_t i = 0;
  std::size_t seen = 0;
  while (i < text.size() && seen < start) {
    ++i;
    while (i < text.size() && IsContinuation(text[i])) ++i;
    ++seen;
  }
  std::size_t j = i;
  seen = 0;
  while (j < text.size() && seen < count) {
    ++j;
    while (j < text.size() && IsContinuation(text[j])) ++j;
    ++seen;
  }
  return std::string(text.substr(i, j - i));
}

std::string UpperCase(std::string_view text) { return Map(text, FoldUpper); }
std::string LowerCase(std::string_view text) { return Map(text, FoldLower); }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return CompareIgnoreCase(a, b) == 0;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
  // Most names are ASCII: compared byte by byte, with nothing to convert.
  const auto ascii = [](std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsAscii(c); });
  };
  if (ascii(a) && ascii(b)) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      const char16_t p = FoldUpper(static_cast<char16_t>(a[i]));
      const char16_t q = FoldUpper(static_cast<char16_t>(b[i]));
      if (p != q) return p < q ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  const std::u16string x = Utf8ToUtf16(a);
  const std::u16string y = Utf8ToUtf16(b);
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t p = FoldUpper(x[i]);
    const char16_t q = FoldUpper(y[i]);
    if (p != q) return p < q ? -1 : 1;
  }
  return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace platform
