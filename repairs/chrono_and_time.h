// Two one-click settings repairs: switching off the control centre's
// chronometer manager, and switching the Windows time service from no
// synchronisation to an Internet time server. Each works on one key at a
// time; the caller goes through the keys in order and disables its button
// once a repair found its value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "components/mRegistry.h"

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

// When "UseChronoManager" of the key reads exactly "1" through `settings`
// (re-aimed at the key), the key gets "0". True when it read "1", whether or
// not the key could then be opened for the write.
bool SwitchOffChronoManager(TmRegistry& settings, platform::Registry& registry,
                            const std::string& key);

// When "Type" of the key reads exactly "NoSync" through `time_service`
// (re-aimed at the key), the key gets "Type" = "NTP" and the server. True when
// it read "NoSync", whether or not the key could then be opened for the write.
bool SwitchOnInternetTime(TmRegistry& time_service, platform::Registry& registry,
                          const std::string& key);

}  // namespace repairs
