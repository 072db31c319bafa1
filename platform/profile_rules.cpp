#include "platform/profile_rules.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"

namespace platform {

namespace {

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// The file as text whose line structure is ASCII: Windows-1252 bytes as they
// stand for an ANSI file, UTF-8 otherwise.
struct FileText {
  Encoding encoding = Encoding::kAnsi;
  std::string text;
};

std::u16string Utf16Units(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(big_endian ? (a << 8 | b) : (b << 8 | a)));
  }
  return units;
}

FileText Decode(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return {Encoding::kUtf8, std::string(bytes.substr(3))};
  if (bytes.starts_with("\xFF\xFE")) {
    return {Encoding::kUtf16Le, Utf16ToUtf8(Utf16Units(bytes.substr(2), false))};
  }
  if (bytes.starts_with("\xFE\xFF")) {
    return {Encoding::kUtf16Be, Utf16ToUtf8(Utf16Units(bytes.substr(2), true))};
  }
  return {Encoding::kAnsi, std::string(bytes)};
}

std::string Encode(Encoding encoding, std::string_view text) {
  if (encoding == Encoding::kAnsi) return std::string(text);
  if (encoding == Encoding::kUtf8) return "\xEF\xBB\xBF" + std::string(text);
  const bool big_endian = encoding == Encoding::kUtf16Be;
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(text)) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// UTF-8 of a name or value as the file holds it.
std::string ToUtf8(Encoding encoding, std::string_view raw) {
  return encoding == Encoding::kAnsi ? Cp1252ToUtf8(raw) : std::string(raw);
}

std::string FromUtf8(Encoding encoding, std::string_view text) {
  return encoding == Encoding::kAnsi ? Utf8ToCp1252(text) : std::string(text);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

struct Line {
  enum class Kind { kBlank, kSection, kKey, kIgnored };
  Kind kind = Kind::kBlank;
  std::size_t begin = 0;  // the line's bytes, without its line end
  std::size_t end = 0;
  std::size_t next = 0;  // where the next line starts
  std::string_view name;
  std::optional<std::string_view> value;
};

std::vector<Line> ParseLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    Line line;
    line.begin = start;
    line.end = text.find_first_of("\r\n", start);
    if (line.end == std::string_view::npos) line.end = text.size();
    line.next = line.end;
    if (line.next < text.size()) {
      line.next +=
          (text[line.next] == '\r' && line.next + 1 < text.size() && text[line.next + 1] == '\n')
              ? 2
              : 1;
    }
    start = line.next;

    const std::string_view content = Trim(text.substr(line.begin, line.end - line.begin));
    if (content.empty()) {
      line.kind = Line::Kind::kBlank;
    } else if (content.front() == '[') {
      const std::size_t close = content.rfind(']');
      if (close == std::string_view::npos) {
        line.kind = Line::Kind::kIgnored;
      } else {
        line.kind = Line::Kind::kSection;
        line.name = Trim(content.substr(1, close - 1));
      }
    } else {
      line.kind = Line::Kind::kKey;
      const std::size_t equals = content.find('=');
      line.name = Trim(content.substr(0, equals));
      if (equals != std::string_view::npos) {
        std::string_view value = Trim(content.substr(equals + 1));
        value = value.substr(0, value.find('\0'));
        line.value = value;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

std::string_view StripQuotes(std::string_view text) {
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

// Index of the first section of that name, or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, Encoding encoding,
                        std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Line::Kind::kSection &&
        EqualsIgnoreCase(ToUtf8(encoding, lines[i].name), section)) {
      return i;
    }
  }
  return lines.size();
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string LookupProfileString(std::string_view file_bytes, std::string_view section,
                                std::string_view key, std::string_view fallback,
                                std::size_t buffer_size, ProfileApi api) {
  if (buffer_size == 0) return {};
  const FileText file = Decode(file_bytes);
  const std::vector<Line> lines = ParseLines(file.text);

  std::optional<std::string> found;
  if (!section.empty()) {
    for (std::size_t i = FindSection(lines, file.encoding, section) + 1; i < lines.size(); ++i) {
      const Line& line = lines[i];
      if (line.kind == Line::Kind::kSection) break;
      if (line.kind != Line::Kind::kKey ||
          !EqualsIgnoreCase(ToUtf8(file.encoding, line.name), key)) {
        continue;
      }
      if (line.value) found = ToUtf8(file.encoding, StripQuotes(*line.value));
      break;
    }
  }

  std::string text;
  if (found) {
    const bool degraded = api == ProfileApi::kAnsi && file.encoding != Encoding::kAnsi;
    text = degraded ? Cp1252ToUtf8(Utf8ToCp1252(*found)) : *found;
  } else {
    std::string_view fallback_text = fallback;
    while (!fallback_text.empty() && fallback_text.back() == ' ') fallback_text.remove_suffix(1);
    text = StripQuotes(fallback_text);
  }
  return Utf8Substr(text, 0, buffer_size - 1);
}

std::vector<std::string> ProfileKeyNames(std::string_view file_bytes, std::string_view section) {
  const FileText file = Decode(file_bytes);
  const std::vector<Line> lines = ParseLines(file.text);
  std::vector<std::string> names;
  if (section.empty()) return names;
  for (std::size_t i = FindSection(lines, file.encoding, section) + 1; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == Line::Kind::kSection) break;
    if (line.kind == Line::Kind::kKey && !line.name.empty()) {
      names.push_back(ToUtf8(file.encoding, line.name));
    }
  }
  return names;
}

std::vector<ProfileFileLine> ReadProfileFileLines(std::string_view file_bytes) {
  const FileText file = Decode(file_bytes);
  const std::vector<Line> lines = ParseLines(file.text);
  std::vector<ProfileFileLine> read;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    ProfileFileLine out;
    out.number = static_cast<int>(std::min<std::size_t>(i + 1, INT_MAX));
    switch (line.kind) {
      case Line::Kind::kBlank:
        continue;
      case Line::Kind::kSection:
        out.kind = ProfileFileLine::Kind::kSection;
        break;
      case Line::Kind::kKey:
        out.kind = ProfileFileLine::Kind::kKey;
        if (line.value) out.value = ToUtf8(file.encoding, StripQuotes(*line.value));
        break;
      case Line::Kind::kIgnored:
        out.kind = ProfileFileLine::Kind::kIgnored;
        out.name =
            ToUtf8(file.encoding,
                   Trim(std::string_view(file.text).substr(line.begin, line.end - line.begin)));
        read.push_back(std::move(out));
        continue;
    }
    out.name = ToUtf8(file.encoding, line.name);
    read.push_back(std::move(out));
  }
  return read;
}

std::optional<std::string> WriteProfileString(std::string_view file_bytes, std::string_view section,
                                              std::string_view key, std::string_view value) {
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || section.find(']') != std::string_view::npos ||
      key.find('=') != std::string_view::npos || Trim(key).starts_with('[')) {
    return std::nullopt;
  }
  FileText file = Decode(file_bytes);
  const Encoding encoding = file.encoding;
  std::string& text = file.text;
  const std::vector<Line> lines = ParseLines(text);
  const std::string key_line_end = "=" + FromUtf8(encoding, value);

  const std::size_t section_line = FindSection(lines, encoding, section);
  if (section_line == lines.size()) {
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
    text += "[" + FromUtf8(encoding, section) + "]\r\n" + FromUtf8(encoding, key) + key_line_end +
            "\r\n";
    return Encode(encoding, text);
  }

  std::size_t last_line = section_line;  // the section's last line that is not blank
  for (std::size_t i = section_line + 1; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == Line::Kind::kSection) break;
    if (line.kind == Line::Kind::kKey && EqualsIgnoreCase(ToUtf8(encoding, line.name), key)) {
      text.replace(line.begin, line.end - line.begin, std::string(line.name) + key_line_end);
      return Encode(encoding, text);
    }
    if (line.kind != Line::Kind::kBlank) last_line = i;
  }
  const Line& after = lines[last_line];
  std::string insertion = FromUtf8(encoding, key) + key_line_end + "\r\n";
  if (after.next == after.end) insertion.insert(0, "\r\n");  // the file's last line had no end
  text.insert(after.next, insertion);
  return Encode(encoding, text);
}

}  // namespace platform
