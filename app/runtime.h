// The run-time services the window's logic is written against: integer
// conversion and text-file loading with their errors, and the report's date
// format. Errors are exceptions; whoever does not catch them ends the current
// action and the top-level handler shows their message.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/machine.h"

namespace app {

// A text that is not a whole number: "'1024x' is not a valid integer value".
class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(std::string_view text);
};

// A file that cannot be opened: "Cannot open file " + name.
class FileError : public std::runtime_error {
 public:
  explicit FileError(std::string_view name);
};

// A file that cannot be created or written: "Cannot create file " + name.
class FileCreateError : public std::runtime_error {
 public:
  explicit FileCreateError(std::string_view name);
};

// Decimal (or "$"/"0x" hexadecimal) 32-bit integer with an optional sign and
// leading blanks; anything else, an empty text or an overflow raises ConvertError.
std::int32_t StrToInt(std::string_view text);

// The lines of a Windows-1252 text file, split at CR LF, CR or LF, in UTF-8.
// Raises FileError (naming `name`, default the path) when it cannot be read.
std::vector<std::string> LoadLines(platform::FileSystem& files, std::string_view path,
                                   std::string_view name = {});

// "<weekday> dd/mm/yyyy à hh:mm:ss" with the locale's separators and weekday names.
std::string FormatReportDateTime(const platform::LocalTime& time,
                                 const platform::LocaleInfo& locale);

}  // namespace app
