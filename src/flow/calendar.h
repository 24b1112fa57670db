#pragma once
// The run's calendar: every year divisible by 4 is a leap year (no century
// rule, so 1900 and 2100 are leap years), and the day of the year comes
// from the first days of the months of a common year.

#include <array>
#include <cstdint>

namespace gaumo {

/// Day of the year on which month m (1-12) begins in a common year, at m-1.
constexpr std::array<std::int32_t, 12> s_day = {1,   32,  60,  91,  121, 152,
                                                182, 213, 244, 274, 305, 335};

constexpr bool is_leap_year(std::int64_t year) { return year % 4 == 0; }

constexpr std::int32_t days_in_year(std::int64_t year) {
  return is_leap_year(year) ? 366 : 365;
}

/// s_day(month) + day - 1, plus 1 from March on in a leap year. The day is
/// not checked against the month (31 April is 1 May). Needs month 1-12.
constexpr std::int32_t day_of_year(std::int32_t year, std::int32_t month,
                                   std::int32_t day) {
  return s_day[static_cast<std::size_t>(month - 1)] + day - 1 +
         (is_leap_year(year) && month >= 3 ? 1 : 0);
}

}  // namespace gaumo
