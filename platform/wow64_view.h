// How a 32-bit program on 64-bit Windows sees the system folder: its
// <windows>\System32 is the SysWOW64 folder, but for the folders Windows
// exempts, and <windows>\Sysnative is the real System32. Both backends show
// the machine as the 32-bit game sees it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Whether System32\<first>\<second> is exempt from the redirection (`second`
// empty when there is no such name).
bool ExemptFromWow64Redirection(std::string_view first, std::string_view second);

// The path a 32-bit program opens when it names `path`, on a Windows whose
// folder is `windows_folder` (no trailing backslash) and whose 32-bit system
// folder is `wow64_folder`; nullopt when the path is not redirected.
std::optional<std::string> Wow64ViewPath(std::string_view path, std::string_view windows_folder,
                                         std::string_view wow64_folder);

}  // namespace platform
