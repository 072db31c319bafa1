// Text as lines: the lines of a text file of the game or the add-on, and lines
// joined into one text for a box, a caption or the clipboard.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace runtime {

// The lines of a Windows-1252 text file, split at CR LF, CR or LF, in UTF-8.
// Raises FileError (naming `name`, default the path) when it cannot be read.
std::vector<std::string> LoadLines(platform::FileSystem& files, std::string_view path,
                                   std::string_view name = {});

// The lines with CR LF between them (none after the last).
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace runtime
