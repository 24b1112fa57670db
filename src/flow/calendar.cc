#include "flow/calendar.h"

namespace gaumo {
// The worked values every reader relies on.
static_assert(day_of_year(1999, 3, 1) == 60);
static_assert(day_of_year(2000, 3, 1) == 61);
static_assert(day_of_year(1900, 3, 1) == 61);
static_assert(day_of_year(2001, 4, 31) == day_of_year(2001, 5, 1));
static_assert(day_of_year(2012, 12, 31) == 366);
}  // namespace gaumo
