// Two one-click settings repairs: switching off the control centre's
// chronometer manager, and switching the Windows time service from no
// synchronisation to an Internet time server.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace repairs {

// The chronometer-manager keys below HKEY_CURRENT_USER, in the order handled:
// the guest profile, then the last used one (" Settings" alone when its name
// is empty).
std::vector<std::string> ChronoManagerKeys(std::string_view last_profile);

// The time service's parameter keys below HKEY_LOCAL_MACHINE, each with its
// trailing backslash: the current control set, then 001, 002 and 003.
const std::vector<std::string>& TimeServiceKeys();

// What "NtpServer" gets: a public time server, polled at the special interval
// in client mode (flags 0x1 | 0x8).
inline constexpr std::string_view kNtpServer = "time.windows.com,0x9";

}  // namespace repairs
