#include "runtime/report_date.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

TEST(ReportDate, TheLocalesWeekdayAndSeparators) {
  platform::LocaleInfo locale;
  locale.weekday_names = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
  locale.date_separator = "/";
  locale.time_separator = ":";
  EXPECT_EQ(FormatReportDateTime({2026, 12, 10, 14, 5, 9, 4}, locale),
            "jeudi 10/12/2026 à 14:05:09");
  locale.date_separator = ".";
  locale.time_separator = "h";
  EXPECT_EQ(FormatReportDateTime({987, 1, 2, 3, 4, 5, 0}, locale),
            "dimanche 02.01.0987 à 03h04h05");
}

}  // namespace
}  // namespace runtime
