// The wildcard matcher on arbitrary masks and names: no crash, "*" matches
// every name, and a mask without wildcards or dots matches exactly the names
// equal to it without regard to case.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/mask.h"
#include "platform/text.h"

// The input: the mask, a NUL, the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const std::string mask = input.substr(0, split);
  const std::string name = input.substr(std::min(split + 1, input.size()));

  const platform::posix::FindMask matcher(mask);
  const bool matches = matcher.Matches(name);
  matcher.MatchesDotEntry(name);
  if (!platform::posix::FindMask("*").Matches(name)) std::abort();
  if (!mask.empty() && mask.find_first_of("*?<>\". ") == std::string::npos &&
      matches != platform::EqualsIgnoreCase(mask, name)) {
    std::abort();
  }
  return 0;
}
