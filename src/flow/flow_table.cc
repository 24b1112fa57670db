#include "flow/flow_table.h"

#include <algorithm>
#include <new>

#include "text/fatal_stop.h"
#include "text/memory_limit.h"

namespace gaumo {

void FlowTable::create(std::int64_t years, std::int32_t stations) {
  years = std::max<std::int64_t>(years, 0);
  stations = std::max<std::int32_t>(stations, 0);
  const auto slots_per_station = checked_bytes(static_cast<std::uint64_t>(years), kDaySlots);
  const auto slots = slots_per_station
                         ? checked_bytes(*slots_per_station,
                                         static_cast<std::uint64_t>(stations))
                         : std::nullopt;
  const auto bytes = slots ? checked_bytes(*slots, sizeof(float)) : std::nullopt;
  if (!bytes || !fits_in_memory(*bytes)) {
    stop_run("Warning: error with allocation of outarray ");
  }
  const auto n = static_cast<std::size_t>(*slots);
  data_.reset(new (std::nothrow) float[n == 0 ? 1 : n]);
  if (!data_) stop_run("Warning: error with allocation of outarray ");
  std::fill_n(data_.get(), n, kMissing);
  years_ = years;
  stations_ = stations;
}

}  // namespace gaumo
