// The INI rules on arbitrary files and requests: no crash, the buffer is never
// exceeded, and a plain value written reads back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "platform/posix/profile_rules.h"
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t buffer_size = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const std::string section = input.ConsumeRandomLengthString(16);
  const std::string key = input.ConsumeRandomLengthString(16);
  const std::string value = input.ConsumeRandomLengthString(16);
  const std::string file = input.ConsumeRemainingBytesAsString();

  const std::string read =
      platform::posix::LookupProfileString(file, section, key, value, buffer_size);
  if (buffer_size == 0 ? !read.empty() : platform::Utf8Length(read) >= buffer_size) std::abort();

  const auto written = platform::posix::WriteProfileString(file, section, key, value);
  if (written && IsPlainName(section) && IsPlainName(key) && IsPlainName(value) &&
      platform::posix::LookupProfileString(*written, section, key, "", 256) != value) {
    std::abort();
  }
  return 0;
}
