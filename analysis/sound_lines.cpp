#include "analysis/sound_lines.h"

#include "platform/text.h"

namespace analysis {

std::string_view Field(std::string_view line, int k) {
  const std::size_t first = line.find('=');
  if (k == 1) return line.substr(0, first);
  if (k != 2 || first == std::string_view::npos) return {};
  const std::size_t second = line.find('=', first + 1);
  return line.substr(first + 1, second == std::string_view::npos ? second : second - first - 1);
}

namespace {
bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}
}  // namespace

std::string_view TrimBlanksAndControls(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || IsControl(c); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool HasControlCharacters(std::string_view text) {
  for (char c : text) {
    if (IsControl(c)) return true;
  }
  return false;
}

std::string Printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    if (IsControl(c) && c != '\t') c = '?';
  }
  return shown;
}

std::optional<std::string> EffectReference(std::string_view line) {
  if (line.starts_with('[') || line.starts_with(';')) return std::nullopt;
  const std::string_view value = Field(line, 2);
  if (value.empty()) return std::nullopt;
  return std::string(TrimBlanksAndControls(value));
}

std::optional<std::string> EngineReference(std::string_view line) {
  if (line.starts_with(';')) return std::nullopt;
  if (platform::Utf8Length(Field(line, 1)) != 4) return std::nullopt;
  return std::string(TrimBlanksAndControls(Field(line, 2)));
}

}  // namespace analysis
