// Wine's registry files (system.reg, user.reg, userdef.reg): reading them into
// key blocks and writing them back.
//
// A file read and written again without change comes back byte for byte: each
// block keeps the text it was read from. A block that is new or changed is
// written exactly as wineserver writes it (server/registry.c, save_subkeys),
// so a file Wine wrote stays as Wine would have written it.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace platform::posix {

struct RegFileValue {
  std::u16string name;  // empty: the key's default value ("@=")
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;  // string types: UTF-16LE with their stored NULs

  bool operator==(const RegFileValue&) const = default;
};

struct RegFileKey {
  std::u16string path;         // relative to the file's root, names joined by '\'
  std::uint64_t modified = 0;  // FILETIME: 100 ns ticks since 1601
  std::optional<std::u16string> key_class;
  bool is_link = false;              // "#link": a symbolic link, target in "SymbolicLinkValue"
  std::vector<RegFileValue> values;  // file order; no two names differ only in case
  // The text the block was read from, its key line up to the next key line;
  // empty for a new or changed block, which is written in Wine's format.
  std::string text;

  // The key's data; the text it was read from does not take part.
  bool SameContent(const RegFileKey& other) const;
};

struct RegFile {
  std::string header;          // everything before the first key line, verbatim
  std::u16string relative_to;  // from ";; All keys relative to ...", unescaped
  std::string arch;            // from "#arch=": "win32", "win64" or empty
  std::list<RegFileKey> keys;  // file order; no two paths differ only in case
};

inline constexpr std::string_view kRegFileSignature = "WINE REGISTRY Version 2";

// Reads a whole file. A key that appears twice (in any case) is merged into its
// first block, as wineserver merges it. `file_name` starts the error detail
// ("system.reg line 12: bad escape"); `now` is the time given to a key whose
// block has no time, as wineserver gives it the time of loading.
Result<RegFile> ParseRegFile(std::string_view bytes, std::string_view file_name, std::uint64_t now);

// The file's text: blocks with text verbatim, the others in Wine's format.
std::string FormatRegFile(const RegFile& file);

// Wine's text for one key: key line, "#time=", "#class=", "#link", values.
std::string FormatRegKey(const RegFileKey& key);

// The header wineserver writes: signature, root comment, architecture.
// `relative_to` as Wine 8 names roots: "REGISTRY\\Machine",
// "REGISTRY\\User\\S-1-5-21-0-0-0-1000".
std::string NewRegFileHeader(std::u16string_view relative_to, std::string_view arch);

// Current time as a FILETIME.
std::uint64_t FileTimeNow();

}  // namespace platform::posix
