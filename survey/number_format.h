// The survey's number formats. Memory is counted in units of 1,024,000,000
// bytes, disk space in units of 1024^3 bytes; both are written with the
// locale's decimal separator and no thousands separator. The arithmetic is
// exact (integers), so no binary rounding can move a value across a
// threshold or a rounding half.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace survey {

inline constexpr std::uint64_t kMemoryUnit = 1'024'000'000;
inline constexpr std::uint64_t kDiskUnit = 1'073'741'824;

// bytes / 1,024,000,000 with the pattern "0.###": at most three decimals,
// halves rounded away from zero, no trailing zeros, no separator for a whole
// number. 4,294,967,296 bytes give "4.194".
std::string FormatMemory(std::uint64_t bytes, std::string_view decimal_separator);

// bytes / 1024^3 rounded to hundredths, halves to even.
std::uint64_t DiskHundredths(std::uint64_t bytes);

// A count of hundredths in its shortest decimal form: 4900 gives "49",
// 150 gives "1.5", 4937 gives "49.37".
std::string FormatHundredths(std::uint64_t hundredths, std::string_view decimal_separator);

}  // namespace survey
