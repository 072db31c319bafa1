// The date and time the report and the results file are stamped with.
#pragma once

#include <string>

#include "platform/machine.h"

namespace runtime {

// "<weekday> dd/mm/yyyy à hh:mm:ss" with the locale's separators and weekday names.
std::string FormatReportDateTime(const platform::LocalTime& time,
                                 const platform::LocaleInfo& locale);

}  // namespace runtime
