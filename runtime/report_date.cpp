#include "runtime/report_date.h"

#include <cstdio>

namespace runtime {

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

}  // namespace runtime
