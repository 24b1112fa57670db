#include "flow/availability.h"

#include <new>

#include "system/memory_limit.h"

namespace gaumo {

void StationAvailability::allocate(std::int32_t stations,
                                   std::int64_t year_count) {
  const auto cells = checked_bytes(static_cast<std::uint64_t>(year_count),
                                   static_cast<std::uint64_t>(stations));
  if (!cells)
    throw std::bad_alloc();
  assign_checked(days, *cells);
  assign_checked(flags, *cells);
  years = year_count;
}

void compute_availability_flags(const FlowTable& table, std::int32_t stations,
                                StationAvailability& avail) {
  for (std::int32_t i = 1; i <= stations; ++i) {
    for (std::int64_t n = 1; n <= avail.years; ++n) {
      const float* d = table.days(i, n);
      std::int32_t count = 0;
      // A NaN or any value below zero is a day without data.
      for (std::int32_t t = 0; t < kCountedDays; ++t)
        count += d[t] >= 0.0f;
      avail.days[avail.cell(i, n)] = count;
      avail.flags[avail.cell(i, n)] = availability_flag(count);
    }
  }
}

}  // namespace gaumo
