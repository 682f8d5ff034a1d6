#pragma once
#include <string>
#include <string_view>

#include "runtime/datetime/DateTime.h"

namespace verdo {

// Dates and times in the user's regional form (the process locale's LC_TIME).
//   "@d17", "@D17"  the short date;         "@d17B", "@D17B" the same, blank when none
//   "@T7"           hours and minutes;      "@T7B"           the same, blank when zero
//   "@T8"           hours, minutes, seconds; "@T8B"          the same, blank when zero
// A date or time that cannot exist, or a picture not listed, gives an empty text.
std::string FormatDate(const Date& date, std::string_view picture);
std::string FormatTime(const Time& time, std::string_view picture);

}  // namespace verdo
