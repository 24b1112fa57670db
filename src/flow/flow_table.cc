#include "flow/flow_table.h"

#include <algorithm>
#include <new>

#include "run/fatal_stop.h"
#include "run/stop_texts.h"
#include "system/compiler.h"
#include "system/memory_limit.h"
#include "system/platform.h"

namespace gaumo {

void FlowTable::create(std::int64_t years, std::int32_t stations) {
  years = std::max<std::int64_t>(years, 0);
  stations = std::max<std::int32_t>(stations, 0);
  const auto slots_per_station =
      checked_bytes(static_cast<std::uint64_t>(years), kDaySlots);
  const auto slots = slots_per_station
                         ? checked_bytes(*slots_per_station,
                                         static_cast<std::uint64_t>(stations))
                         : std::nullopt;
  const auto bytes =
      slots ? checked_bytes(*slots, sizeof(float)) : std::nullopt;
  if (!bytes || !fits_in_memory(*bytes)) {
    stop_run(stop_text::kFlowTableAllocation);
  }
  const auto n = static_cast<std::size_t>(*slots);
  const std::size_t size = std::max<std::size_t>(n, 1) * sizeof(float);
#if GAUMO_ASAN
  // The address sanitizer does not watch mapped memory: take the table from
  // the heap, so every slot access stays checked in that build.
  float* p = new (std::nothrow) float[size / sizeof(float)];
  if (p == nullptr)
    stop_run(stop_text::kFlowTableAllocation);
  data_ = Block(p, FlowTableUnmap{0});
#else
  void* p = platform::allocate_pages(size);
  if (p == nullptr)
    stop_run(stop_text::kFlowTableAllocation);
  data_ = Block(static_cast<float*>(p), FlowTableUnmap{size});
#endif
  std::fill_n(data_.get(), n, kMissing);
  years_ = years;
  stations_ = stations;
}

void FlowTableUnmap::operator()(float* p) const {
  if (p == nullptr)
    return;
  if (bytes == 0) {
    delete[] p;  // taken from the heap (sanitizer builds)
  } else {
    platform::release_pages(p, bytes);
  }
}

}  // namespace gaumo
