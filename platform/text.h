// Small helpers on UTF-8 text where the program counts characters, not bytes,
// and folds letter case the way Windows does for the Windows-1252 letters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Number of code points.
std::size_t Utf8Length(std::string_view text);
// The code points [start, start + count) of text (clamped to its end).
std::string Utf8Substr(std::string_view text, std::size_t start,
                       std::size_t count = std::string_view::npos);

// Upper and lower case of ASCII letters and of the letters of Windows-1252
// (à..þ, š, œ, ž, ÿ and back); every other character is kept.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Compares a and b after upper-casing both: <0, 0 or >0.
int CompareIgnoreCase(std::string_view a, std::string_view b);

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// Splits at CR LF, CR or LF. A final line end does not start another line;
// an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace platform
