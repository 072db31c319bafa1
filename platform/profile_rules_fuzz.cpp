// The INI rules on arbitrary files and requests: no crash, the buffer is never
// exceeded, and a plain value written reads back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile_rules.h"
#include "platform/text.h"

namespace {

bool IsPlainName(const std::string& text) {
  if (text.empty() || text.size() > 8) return false;
  for (char c : text) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

}  // namespace

// The input: one byte for the buffer size, then section, key and value each
// ended by a NUL, then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t buffer_size = data[0] + 1u;
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto next_field = [&rest] {
    const std::size_t end = std::min(rest.find('\0'), rest.size());
    std::string field = rest.substr(0, end);
    rest.erase(0, std::min(end + 1, rest.size()));
    return field;
  };
  const std::string section = next_field();
  const std::string key = next_field();
  const std::string value = next_field();
  const std::string& file = rest;

  const std::string read = platform::LookupProfileString(file, section, key, value, buffer_size);
  if (platform::Utf8Length(read) >= buffer_size) std::abort();

  const auto written = platform::WriteProfileString(file, section, key, value);
  if (written && IsPlainName(section) && IsPlainName(key) && IsPlainName(value) &&
      platform::LookupProfileString(*written, section, key, "", 256) != value) {
    std::abort();
  }
  return 0;
}
