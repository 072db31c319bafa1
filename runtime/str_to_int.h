// Whole numbers read from text the way the tool's settings and lists write them.
#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// Decimal (or "$"/"0x" hexadecimal) 32-bit integer with an optional sign and
// leading blanks; anything else, an empty text or an overflow raises ConvertError.
std::int32_t StrToInt(std::string_view text);

}  // namespace runtime
