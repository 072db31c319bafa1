// Path helpers of the directory scanner.
#pragma once

#include <string>
#include <string_view>

// The path ready for a name to be appended: "" stays "", a path ending with
// ":" or "\" is kept, a lone drive letter becomes its root ("C" -> "C:\"),
// anything else gets a "\".
std::string IncludeDelimiter(std::string_view path);
