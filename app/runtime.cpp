#include "app/runtime.h"

#include <cstdio>

#include "platform/codepage.h"
#include "platform/text.h"

namespace app {

ConvertError::ConvertError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

FileError::FileError(std::string_view name)
    : std::runtime_error("Cannot open file " + std::string(name)) {}

FileCreateError::FileCreateError(std::string_view name)
    : std::runtime_error("Cannot create file " + std::string(name)) {}

std::int32_t StrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16, ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16, i += 2;
  }
  if (i == text.size()) throw ConvertError(text);
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      throw ConvertError(text);
    }
    value = value * base + digit;
    if (value > 0x80000000LL) throw ConvertError(text);
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) throw ConvertError(text);
  return static_cast<std::int32_t>(value);
}

std::vector<std::string> LoadLines(platform::FileSystem& files, std::string_view path,
                                   std::string_view name) {
  auto bytes = files.ReadAll(path);
  if (!bytes) throw FileError(name.empty() ? path : name);
  return platform::SplitLines(platform::Cp1252ToUtf8(*bytes));
}

std::string FormatReportDateTime(const platform::LocalTime& t, const platform::LocaleInfo& locale) {
  auto two = [](int v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", v);
    return std::string(buffer);
  };
  char year[16];
  std::snprintf(year, sizeof year, "%04d", t.year);
  const std::string& weekday = locale.weekday_names.at(static_cast<std::size_t>(t.weekday % 7));
  return weekday + " " + two(t.day) + locale.date_separator + two(t.month) + locale.date_separator +
         year + " à " + two(t.hour) + locale.time_separator + two(t.minute) +
         locale.time_separator + two(t.second);
}

}  // namespace app
