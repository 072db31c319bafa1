// The wildcard matcher on arbitrary masks and names: no crash, "*" matches
// every name, and a mask without wildcards or dots matches exactly the names
// equal to it without regard to case.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "platform/posix/mask.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string mask = input.ConsumeRandomLengthString(64);
  const std::string name = input.ConsumeRemainingBytesAsString();

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
