// The INI file rules of GetPrivateProfileStringA and WritePrivateProfileStringA,
// as pure functions over a file's bytes: the simulated machine's profile
// functions, and the Windows backend's reader for the files whose path the
// API cannot take (longer than MAX_PATH). Text in and out is UTF-8; the file is
// Windows-1252 unless it starts with a UTF-8 or UTF-16 byte-order mark.
//
// Reading, as Windows (and Wine) do:
// - lines end at CR LF, CR or LF; each line is trimmed of blanks, tabs, vertical
//   tabs, form feeds and ^Z;
// - "[name]" opens a section: the name is what stands between the "[" and the
//   last "]" of the line, trimmed; text after the "]" is ignored; a line opening
//   with "[" but without "]" is ignored;
// - any other line is a key: the text before its first "=" (trimmed), its value
//   the text after it (trimmed), cut at a NUL byte; a line without "=" is a key
//   without a value, which yields the default;
// - names compare without regard to case; the first section of a name wins and
//   the first key of a name in it; keys before the first section are never found
//   (the empty section name finds nothing);
// - a value wrapped in matching quotes (both " or both ') loses them;
// - the default loses its trailing blanks (all of them, as Windows documents;
//   Wine 8 keeps a last one) and, like a value, matching quotes;
// - the text is cut to buffer_size - 1 characters, and passes through the
//   Windows-1252 code page (a character outside it becomes "?") as the A
//   function's answer does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Which of the two functions answers: the A one hands out Windows-1252 (what
// it cannot hold becomes "?"), the W one any character.
enum class ProfileApi { kAnsi, kWide };

// GetPrivateProfileStringA (or W) (section, key, fallback, buffer, buffer_size,
// file) over the file's bytes (empty bytes: a missing or empty file).
std::string LookupProfileString(std::string_view file_bytes, std::string_view section,
                                std::string_view key, std::string_view fallback,
                                std::size_t buffer_size, ProfileApi api = ProfileApi::kAnsi);

// GetPrivateProfileStringA(section, NULL, ...): the names of the key lines of
// the first section of that name, in file order.
std::vector<std::string> ProfileKeyNames(std::string_view file_bytes, std::string_view section);

// One line of a file as the reading rules see it, for a reader that wants the
// whole file at once: names and values in UTF-8 (as the W function hands
// them), a value without its matching quotes, nullopt for a key line without
// "=". `number` counts from 1.
struct ProfileFileLine {
  enum class Kind { kSection, kKey, kIgnored };  // kIgnored: "[" without "]"
  Kind kind = Kind::kKey;
  int number = 0;
  std::string name;
  std::optional<std::string> value;
};

// Every line of the file that is not blank, in file order.
std::vector<ProfileFileLine> ReadProfileFileLines(std::string_view file_bytes);

// WritePrivateProfileStringA(section, key, value, file): the file's new bytes.
// The first key of that name in the first section of that name gets the line
// "key=value" (the key's stored name kept); a new key goes after the last line
// of its section, a new section ("[section]" and the key) at the end of the
// file; every other byte stays as it was. Lines written end with CR LF.
// nullopt when the request cannot be stored so that it reads back: an empty
// section or key, a line break in any of the three, a "]" in the section, a
// "=" in the key, or a key starting with "[".
std::optional<std::string> WriteProfileString(std::string_view file_bytes, std::string_view section,
                                              std::string_view key, std::string_view value);

}  // namespace platform
