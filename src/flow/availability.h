#pragma once
// Days with data per station and year, and the class of each station-year:
// "y" with 365 days, "p" with 1 to 364, "n" with none. Only days 1 to 365
// are counted, also in a leap year.

#include "flow/flow_table.h"
#include "stations/station_catalogue.h"

namespace gaumo {

constexpr std::int32_t kCountedDays = 365;

/// The class of a year with `count` days of data.
constexpr char availability_flag(std::int32_t count) {
  return count >= kCountedDays ? 'y' : (count > 0 ? 'p' : 'n');
}

void compute_availability_flags(const FlowTable& table,
                                StationCatalogue& cat);

}  // namespace gaumo
