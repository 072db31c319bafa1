#include "survey/number_format.h"

namespace survey {

namespace {

// value / 10^decimals in its shortest form: trailing zeros of the fraction
// and a bare separator are left out.
std::string FormatScaled(std::uint64_t value, int decimals, std::string_view separator) {
  std::uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  std::string text = std::to_string(value / scale);
  std::uint64_t fraction = value % scale;
  if (fraction == 0) return text;
  std::string digits = std::to_string(fraction);
  digits.insert(0, static_cast<std::size_t>(decimals) - digits.size(), '0');
  while (digits.back() == '0') digits.pop_back();
  text += separator.empty() ? std::string_view(".") : separator;
  return text + digits;
}

}  // namespace

std::string FormatMemory(std::uint64_t bytes, std::string_view decimal_separator) {
  // Thousandths of a unit: bytes / 1,024,000, halves away from zero.
  constexpr std::uint64_t kThousandth = kMemoryUnit / 1000;
  const std::uint64_t thousandths =
      bytes / kThousandth + (bytes % kThousandth >= kThousandth / 2 ? 1 : 0);
  return FormatScaled(thousandths, 3, decimal_separator);
}

std::uint64_t DiskHundredths(std::uint64_t bytes) {
  // bytes * 100 / unit without overflow: the remainder part stays below 2^37.
  const std::uint64_t remainder_scaled = bytes % kDiskUnit * 100;
  std::uint64_t quotient = bytes / kDiskUnit * 100 + remainder_scaled / kDiskUnit;
  const std::uint64_t twice_remainder = remainder_scaled % kDiskUnit * 2;
  if (twice_remainder > kDiskUnit || (twice_remainder == kDiskUnit && quotient % 2 == 1)) {
    ++quotient;
  }
  return quotient;
}

std::string FormatHundredths(std::uint64_t hundredths, std::string_view decimal_separator) {
  return FormatScaled(hundredths, 2, decimal_separator);
}

}  // namespace survey
