#include "platform/posix/regfile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace platform::posix {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kTicks1601To1970 = 116'444'736'000'000'000;
// Far above any value a program stores; a longer line is damage, not data.
constexpr std::size_t kMaxLineLength = 16 << 20;
// Windows keeps a registry tree 512 levels deep at most; a deeper key in a
// file is damage.
constexpr std::size_t kMaxKeyDepth = 512;

struct ParseFailure {
  std::string what;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSpace(char c) { return IsBlank(c) || c == '\r' || c == '\v' || c == '\f'; }
bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
unsigned HexValue(char c) {
  if (c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

std::string Fold(std::u16string_view name) { return UpperCase(Utf16ToUtf8(name)); }

void AppendUtf16Bytes(std::vector<std::uint8_t>& data, std::u16string_view text) {
  for (char16_t c : text) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
}

// One line of the file: its text without the line end, and where it lies.
struct Line {
  std::string_view text;
  std::size_t begin = 0;  // offset of the line in the file
};

class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

  bool Next(Line& line) {
    if (pos_ >= bytes_.size()) return false;
    std::size_t end = bytes_.find('\n', pos_);
    if (end == std::string_view::npos) end = bytes_.size();
    line.begin = pos_;
    ++number_;
    line.text = bytes_.substr(pos_, end - pos_);
    if (line.text.size() > kMaxLineLength) throw ParseFailure{"line longer than 16 MiB"};
    if (line.text.find('\0') != std::string_view::npos) throw ParseFailure{"NUL byte"};
    if (!line.text.empty() && line.text.back() == '\r') line.text.remove_suffix(1);
    pos_ = end + 1;
    return true;
  }
  int number() const { return number_; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
  int number_ = 0;
};

// Reads an escaped string from text[pos] up to `end` (consumed), as
// wineserver's parse_strW reads it; end '\0' reads to the end of the line.
std::u16string ParseEscaped(std::string_view text, std::size_t& pos, char end) {
  std::u16string out;
  while (true) {
    if (pos >= text.size()) {
      if (end == '\0') return out;
      throw ParseFailure{std::string("missing closing ") + end};
    }
    const char c = text[pos];
    if (c == end) {
      ++pos;
      return out;
    }
    if (c != '\\') {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += static_cast<char16_t>(c);
        ++pos;
        continue;
      }
      const auto cp = DecodeUtf8(text, pos);
      if (!cp) throw ParseFailure{"invalid UTF-8"};
      AppendUtf16(out, *cp);
      continue;
    }
    if (++pos >= text.size()) throw ParseFailure{"bad escape: backslash at the end of the line"};
    const char e = text[pos++];
    switch (e) {
      case 'a':
        out += u'\a';
        break;
      case 'b':
        out += u'\b';
        break;
      case 'e':
        out += u'\x1b';
        break;
      case 'f':
        out += u'\f';
        break;
      case 'n':
        out += u'\n';
        break;
      case 'r':
        out += u'\r';
        break;
      case 't':
        out += u'\t';
        break;
      case 'v':
        out += u'\v';
        break;
      case '\\':
      case '"':
      case '[':
      case ']':
        out += static_cast<char16_t>(e);
        break;
      case 'x': {
        if (pos >= text.size() || !IsHexDigit(text[pos])) {
          throw ParseFailure{"bad escape: \\x without hex digits"};
        }
        unsigned value = 0;
        for (int i = 0; i < 4 && pos < text.size() && IsHexDigit(text[pos]); ++i) {
          value = value * 16 + HexValue(text[pos++]);
        }
        out += static_cast<char16_t>(value);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned value = e - '0';
          for (int i = 0; i < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++i) {
            value = value * 8 + (text[pos++] - '0');
          }
          out += static_cast<char16_t>(value);
          break;
        }
        throw ParseFailure{std::string("bad escape \\") + (static_cast<unsigned char>(e) < 0x80
                                                               ? std::string(1, e)
                                                               : std::string("(byte)"))};
    }
  }
}

void ExpectOnlySpace(std::string_view text, std::size_t pos, const char* what) {
  for (; pos < text.size(); ++pos) {
    if (!IsSpace(text[pos])) throw ParseFailure{std::string("unexpected text after ") + what};
  }
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// 1 to `max` hex digits at text[pos].
std::uint64_t ParseHexNumber(std::string_view text, std::size_t& pos, int max, const char* what) {
  std::uint64_t value = 0;
  int digits = 0;
  while (pos < text.size() && IsHexDigit(text[pos])) {
    if (++digits > max) throw ParseFailure{std::string("too many digits in ") + what};
    value = value * 16 + HexValue(text[pos++]);
  }
  if (digits == 0) throw ParseFailure{std::string("bad ") + what};
  return value;
}

// Paths name keys with '\' between names; empty names are skipped, as
// wineserver skips repeated separators.
std::u16string NormalisePath(std::u16string_view path) {
  std::u16string out;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > start) {
      if (!out.empty()) out += u'\\';
      out += path.substr(start, end - start);
    }
    start = end + 1;
  }
  return out;
}

class Parser {
 public:
  Parser(std::string_view bytes, std::uint64_t now) : bytes_(bytes), reader_(bytes), now_(now) {}

  RegFile Run() {
    Line line;
    if (!reader_.Next(line) || line.text != kRegFileSignature) {
      throw ParseFailure{std::string("not a Wine registry file (the first line must be \"") +
                         std::string(kRegFileSignature) + "\")"};
    }
    RegFileKey* key = nullptr;
    std::size_t key_begin = 0;
    bool in_header = true;
    while (reader_.Next(line)) {
      const std::size_t start = SkipSpace(line.text);
      const std::string_view text = line.text.substr(start);
      if (text.empty() || text[0] == ';') {
        if (in_header) ReadHeaderComment(text);
        continue;
      }
      switch (text[0]) {
        case '[':
          if (in_header) file_.header = std::string(bytes_.substr(0, line.begin));
          in_header = false;
          CloseBlock(key, key_begin, line.begin);
          key_begin = line.begin;
          key = ReadKeyLine(text);
          break;
        case '#':
          if (in_header) {
            if (StartsWith(text, "#arch=")) file_.arch = Trimmed(text.substr(6));
          } else {
            ReadKeyOption(*key, text);
          }
          break;
        case '@':
        case '"':
          if (key == nullptr) throw ParseFailure{"value before the first key"};
          ReadValue(*key, text);
          break;
        default:
          throw ParseFailure{"unrecognised line"};
      }
    }
    if (in_header) file_.header = std::string(bytes_);
    CloseBlock(key, key_begin, bytes_.size());
    return std::move(file_);
  }

  int line_number() const { return reader_.number(); }

 private:
  static std::size_t SkipSpace(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
  }

  static std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return std::string(text);
  }

  void ReadHeaderComment(std::string_view text) {
    constexpr std::string_view kRoot = ";; All keys relative to ";
    if (!StartsWith(text, kRoot)) return;
    std::size_t pos = kRoot.size();
    file_.relative_to = ParseEscaped(text, pos, '\0');
  }

  // Keeps the block's text unless it was merged with an earlier one.
  void CloseBlock(RegFileKey* key, std::size_t begin, std::size_t end) {
    if (key == nullptr || merged_) return;
    key->text = std::string(bytes_.substr(begin, end - begin));
  }

  RegFileKey* ReadKeyLine(std::string_view text) {
    std::size_t pos = 1;
    std::u16string path = NormalisePath(ParseEscaped(text, pos, ']'));
    if (!path.empty() &&
        static_cast<std::size_t>(std::count(path.begin(), path.end(), u'\\')) + 1 > kMaxKeyDepth) {
      throw ParseFailure{"key nested deeper than " + std::to_string(kMaxKeyDepth) + " levels"};
    }
    pos = SkipBlanks(text, pos);
    std::uint64_t modified = now_;
    if (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      std::uint64_t seconds = 0;
      while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        seconds = seconds * 10 + (text[pos++] - '0');
        if (seconds > 0xFFFFFFFFu) throw ParseFailure{"bad key time"};
      }
      modified = seconds * kTicksPerSecond + kTicks1601To1970;
    }
    ExpectOnlySpace(text, pos, "the key name");

    const std::string folded = Fold(path);
    const auto found = index_.find(folded);
    merged_ = found != index_.end();
    RegFileKey* key;
    if (merged_) {
      key = found->second;
      key->text.clear();  // two blocks become one: written anew
    } else {
      key = &file_.keys.emplace_back();
      key->path = std::move(path);
      index_.emplace(folded, key);
    }
    key->modified = modified;
    return key;
  }

  static void ReadKeyOption(RegFileKey& key, std::string_view text) {
    if (StartsWith(text, "#time=")) {
      std::size_t pos = 6;
      key.modified = ParseHexNumber(text, pos, 16, "key time");
      ExpectOnlySpace(text, pos, "the key time");
    } else if (StartsWith(text, "#class=")) {
      std::size_t pos = 7;
      if (pos >= text.size() || text[pos] != '"') throw ParseFailure{"bad key class"};
      ++pos;
      key.key_class = ParseEscaped(text, pos, '"');
      ExpectOnlySpace(text, pos, "the key class");
    } else if (StartsWith(text, "#link")) {
      key.is_link = true;
    }
    // wineserver ignores other options; their lines stay in the block's text.
  }

  void ReadValue(RegFileKey& key, std::string_view text) {
    RegFileValue value;
    std::size_t pos = 1;
    if (text[0] == '"') value.name = ParseEscaped(text, pos, '"');
    pos = SkipBlanks(text, pos);
    if (pos >= text.size() || text[pos] != '=') throw ParseFailure{"missing '=' after the name"};
    pos = SkipBlanks(text, pos + 1);
    const std::string_view data = text.substr(pos);
    pos = 0;
    if (StartsWith(data, "\"")) {
      ReadString(value, data, 1, reg_type::kSz);
    } else if (StartsWith(data, "str:\"")) {
      ReadString(value, data, 5, reg_type::kSz);
    } else if (StartsWith(data, "str(2):\"")) {
      ReadString(value, data, 8, reg_type::kExpandSz);
    } else if (StartsWith(data, "str(7):\"")) {
      ReadString(value, data, 8, reg_type::kMultiSz);
    } else if (StartsWith(data, "dword:")) {
      pos = 6;
      const auto number = static_cast<std::uint32_t>(ParseHexNumber(data, pos, 8, "dword"));
      ExpectOnlySpace(data, pos, "the dword");
      value.type = reg_type::kDword;
      for (int i = 0; i < 4; ++i)
        value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    } else if (StartsWith(data, "hex:")) {
      value.type = reg_type::kBinary;
      ReadHex(value, data.substr(4));
    } else if (StartsWith(data, "hex(")) {
      pos = 4;
      value.type = static_cast<std::uint32_t>(ParseHexNumber(data, pos, 8, "value type"));
      if (data.substr(pos, 2) != "):") throw ParseFailure{"bad value type"};
      ReadHex(value, data.substr(pos + 2));
    } else {
      throw ParseFailure{"unknown value type"};
    }
    SetValue(key, std::move(value));
  }

  // A name given twice in a key (in any case) keeps its first spelling and
  // takes the last data, as wineserver keeps it. Found through an index, so a
  // key of many values loads in linear time.
  void SetValue(RegFileKey& key, RegFileValue value) {
    auto& names = value_index_[&key];
    const auto [at, added] = names.try_emplace(Fold(value.name), key.values.size());
    if (!added) {
      RegFileValue& existing = key.values[at->second];
      existing.type = value.type;
      existing.data = std::move(value.data);
      return;
    }
    key.values.push_back(std::move(value));
  }

  static void ReadString(RegFileValue& value, std::string_view data, std::size_t pos,
                         std::uint32_t type) {
    value.type = type;
    const std::u16string text = ParseEscaped(data, pos, '"');
    ExpectOnlySpace(data, pos, "the string");
    AppendUtf16Bytes(value.data, text);
    AppendUtf16Bytes(value.data, std::u16string(1, u'\0'));  // the stored string ends with its NUL
  }

  // Bytes "aa,bb,...", continued on the next line after a final backslash.
  void ReadHex(RegFileValue& value, std::string_view text) {
    std::size_t pos = 0;
    while (true) {
      if (pos >= text.size()) return;
      const char c = text[pos];
      if (IsSpace(c) || c == ',') {
        ++pos;
      } else if (c == '\\') {
        ExpectOnlySpace(text, pos + 1, "the continuation backslash");
        Line next;
        if (!reader_.Next(next)) throw ParseFailure{"file ends inside hex data"};
        text = next.text;
        pos = 0;
      } else if (IsHexDigit(c) && pos + 1 < text.size() && IsHexDigit(text[pos + 1])) {
        value.data.push_back(static_cast<std::uint8_t>(HexValue(c) * 16 + HexValue(text[pos + 1])));
        pos += 2;
      } else {
        throw ParseFailure{"bad hex data"};
      }
    }
  }

  std::string_view bytes_;
  LineReader reader_;
  std::uint64_t now_;
  RegFile file_;
  std::map<std::string, RegFileKey*> index_;  // folded path -> its block
  // For each block, its values' folded names -> their place in `values`.
  std::unordered_map<const RegFileKey*, std::unordered_map<std::string, std::size_t>> value_index_;
  bool merged_ = false;  // the current block joined an earlier one
};

// wineserver's dump_strW: `a` and `b` are the characters to escape besides '\'.
void AppendEscaped(std::string& out, std::u16string_view text, char a, char b) {
  static constexpr char kEscapes[33] = ".......abtnvfr.............e....";
  char buffer[16];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool has_next = i + 1 < text.size();
    const char16_t next = has_next ? text[i + 1] : u'\0';
    if (c > 127) {
      const bool hex_follows = has_next && next < 128 && IsHexDigit(static_cast<char>(next));
      std::snprintf(buffer, sizeof buffer, hex_follows ? "\\x%04x" : "\\x%x", unsigned{c});
      out += buffer;
    } else if (c < 32) {
      if (kEscapes[c] != '.') {
        out += '\\';
        out += kEscapes[c];
      } else {
        const bool octal_follows = has_next && next >= u'0' && next <= u'7';
        std::snprintf(buffer, sizeof buffer, octal_follows ? "\\%03o" : "\\%o", unsigned{c});
        out += buffer;
      }
    } else {
      if (c == u'\\' || c == a || c == b) out += '\\';
      out += static_cast<char>(c);
    }
  }
}

std::u16string_view AsUtf16(const std::vector<std::uint8_t>& data, std::u16string& storage) {
  storage.clear();
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    storage += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  return storage;
}

// wineserver's dump_value.
void AppendValue(std::string& out, const RegFileValue& value) {
  const std::size_t line_start = out.size();
  if (value.name.empty()) {
    out += "@=";
  } else {
    out += '"';
    AppendEscaped(out, value.name, '"', '"');
    out += "\"=";
  }
  const std::vector<std::uint8_t>& data = value.data;
  char buffer[32];
  switch (value.type) {
    case reg_type::kSz:
    case reg_type::kExpandSz:
    case reg_type::kMultiSz: {
      // Only properly terminated strings are written as strings.
      if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
          data[data.size() - 2] != 0) {
        break;
      }
      if (value.type != reg_type::kSz) {
        std::snprintf(buffer, sizeof buffer, "str(%x):", value.type);
        out += buffer;
      }
      out += '"';
      std::u16string storage;
      const std::u16string_view text = AsUtf16(data, storage);
      AppendEscaped(out, text.substr(0, text.size() - 1), '"', '"');  // the final NUL is implied
      out += "\"\n";
      return;
    }
    case reg_type::kDword:
      if (data.size() != 4) break;
      std::snprintf(buffer, sizeof buffer, "dword:%08x\n",
                    unsigned{data[0]} | unsigned{data[1]} << 8 | unsigned{data[2]} << 16 |
                        unsigned{data[3]} << 24);
      out += buffer;
      return;
    default:
      break;
  }
  if (value.type == reg_type::kBinary) {
    out += "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
    out += buffer;
  }
  std::size_t count = out.size() - line_start;
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", unsigned{data[i]});
    out += buffer;
    count += 2;
    if (i + 1 < data.size()) {
      out += ',';
      if (++count > 76) {
        out += "\\\n  ";
        count = 2;
      }
    }
  }
  out += '\n';
}

}  // namespace

bool RegFileKey::SameContent(const RegFileKey& other) const {
  return path == other.path && modified == other.modified && key_class == other.key_class &&
         is_link == other.is_link && values == other.values;
}

Result<RegFile> ParseRegFile(std::string_view bytes, std::string_view file_name,
                             std::uint64_t now) {
  Parser parser(bytes, now);
  try {
    return parser.Run();
  } catch (const ParseFailure& failure) {
    return MakeError(Errc::kInvalidData, "LoadRegistryFile", std::string(file_name), 0,
                     std::string(file_name) + " line " +
                         std::to_string(std::max(parser.line_number(), 1)) + ": " + failure.what);
  }
}

std::string FormatRegKey(const RegFileKey& key) {
  std::string out = "[";
  std::size_t start = 0;
  while (start < key.path.size()) {
    std::size_t end = key.path.find(u'\\', start);
    if (end == std::u16string::npos) end = key.path.size();
    if (start > 0) out += "\\\\";
    AppendEscaped(out, std::u16string_view(key.path).substr(start, end - start), '[', ']');
    start = end + 1;
  }
  // wineserver's seconds since 1970, computed in signed ticks and cut to 32 bits.
  const auto seconds =
      static_cast<std::uint32_t>(static_cast<std::int64_t>(key.modified - kTicks1601To1970) /
                                 static_cast<std::int64_t>(kTicksPerSecond));
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "] %u\n#time=%x%08x\n", seconds,
                static_cast<unsigned>(key.modified >> 32),
                static_cast<unsigned>(key.modified & 0xFFFFFFFFu));
  out += buffer;
  if (key.key_class) {
    out += "#class=\"";
    AppendEscaped(out, *key.key_class, '"', '"');
    out += "\"\n";
  }
  if (key.is_link) out += "#link\n";
  for (const RegFileValue& value : key.values) AppendValue(out, value);
  return out;
}

std::string FormatRegFile(const RegFile& file) {
  std::string out = file.header;
  bool previous_verbatim = true;
  for (const RegFileKey& key : file.keys) {
    const bool verbatim = !key.text.empty();
    // Wine separates blocks by one blank line; verbatim neighbours keep theirs.
    if (!(verbatim && previous_verbatim)) {
      if (!out.empty() && out.back() != '\n') out += '\n';
      if (!EndsWith(out, "\n\n")) out += '\n';
    }
    out += verbatim ? key.text : FormatRegKey(key);
    previous_verbatim = verbatim;
  }
  return out;
}

std::string NewRegFileHeader(std::u16string_view relative_to, std::string_view arch) {
  std::string out = std::string(kRegFileSignature) + "\n;; All keys relative to ";
  AppendEscaped(out, relative_to, '[', ']');
  out += "\n";
  if (!arch.empty()) out += "\n#arch=" + std::string(arch) + "\n";
  return out;
}

std::uint64_t FileTimeNow() {
  const auto since_1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return kTicks1601To1970 + static_cast<std::uint64_t>(since_1970.count() / 100);
}

}  // namespace platform::posix
