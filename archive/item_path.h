// Rules for the paths of archive items: which ones may be extracted, and how
// they become paths under the target folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace archive {

// The item's path relative to the target folder, with backslashes; nullopt
// when it could leave that folder: an absolute path, a drive letter or any
// other colon (a stream name), a component of only dots and blanks other than
// "." (Windows reads "..." and ".. " as ".."), a device name such as "CON"
// or "aux.dll" (platform/device_names.h), or nothing left at all.
// Both separators count.
std::optional<std::string> SafeRelativePath(std::string_view item_path);

// A name Windows keeps as a file of exactly that name in the folder given:
// not empty, at most 255 bytes, no control character, none of <>:"/\|?*
// (wildcards, separators, streams), no trailing dot or blank (Windows drops
// them: "qdm.ini." is "qdm.ini"), and not a device name
// (platform/device_names.h).
bool IsPlainFileName(std::string_view name);

// The last component: what follows the last backslash, slash or colon.
std::string_view LastComponent(std::string_view path);

// Attributes of an item stored as a symbolic link: the reparse-point bit, or
// a POSIX link mode in the high 16 bits (marked by 0x8000).
bool IsSymbolicLink(std::uint32_t attributes);

}  // namespace archive
