#pragma once
// Days with data per station and year, and the class of each station-year:
// "y" with 365 days, "p" with 1 to 364, "n" with none. Only days 1 to 365
// are counted, also in a leap year.

#include <cstdint>
#include <vector>

#include "flow/flow_table.h"

namespace gaumo {

constexpr std::int32_t kCountedDays = 365;

/// The class of a year with `count` days of data.
constexpr char availability_flag(std::int32_t count) {
  return count >= kCountedDays ? 'y' : (count > 0 ? 'p' : 'n');
}

/// What the flow stage found of each station's data, per year:
/// station-major, station i (1-based) and year index n (1-based) at
/// (i - 1) * years + (n - 1).
struct StationAvailability {
  std::int64_t years = 0;
  std::vector<std::int32_t> days;
  std::vector<char> flags;

  /// Sizes both tables for `stations` x `years`; throws std::bad_alloc when
  /// the size overflows, exceeds the machine's memory or cannot be had.
  void allocate(std::int32_t stations, std::int64_t year_count);

  std::size_t cell(std::int32_t i, std::int64_t n) const {
    return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(years) +
           static_cast<std::size_t>(n - 1);
  }
};

/// Counts the days with data of every station and year of the table.
void compute_availability_flags(const FlowTable& table, std::int32_t stations,
                                StationAvailability& avail);

}  // namespace gaumo
