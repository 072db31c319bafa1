#include "components/BFC_Utils.h"

#include <cctype>

std::string IncludeDelimiter(std::string_view path) {
  if (path.empty()) return {};
  if (path.back() == ':' || path.back() == '\\') return std::string(path);
  const auto first = static_cast<unsigned char>(path.front());
  if (path.size() == 1 && first < 0x80 && std::isalpha(first)) return std::string(path) + ":\\";
  return std::string(path) + "\\";
}
