// Reads the version resource (RT_VERSION) of a Windows executable or library
// from its bytes, for the simulated machine. The Win32 backend asks
// GetFileVersionInfo / VerQueryValue instead; this reader returns what those
// calls would show: the VS_FIXEDFILEINFO file version, the
// \VarFileInfo\Translation pairs and the strings of the StringFileInfo table of
// the first pair (table name: language then code page, four hex digits each,
// matched without regard to letter case, as VerQueryValue does).
//
// Portable: 32-bit (PE32) and 64-bit (PE32+) images. Every read is bounded by
// the bytes given, so a truncated or lying image never reads past its end; a
// version block cut short yields what could be read of it.
#pragma once

#include <optional>
#include <string_view>

#include "platform/machine.h"

namespace platform {

// nullopt when the bytes are not a PE image or carry no version resource
// (name 1 of type RT_VERSION, as GetFileVersionInfo looks it up).
std::optional<VersionInfo> ReadPeVersionInfo(std::string_view image);

// The same reading of a version block alone (what GetFileVersionInfo hands
// back), for the Win32 backend, which lists a table's strings in stored order.
VersionInfo ReadVersionBlock(std::string_view block);

}  // namespace platform
