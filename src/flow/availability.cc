#include "flow/availability.h"

namespace gaumo {

void compute_availability_flags(const FlowTable& table,
                                StationCatalogue& cat) {
  const std::int64_t years = cat.report_years;
  for (std::int32_t i = 1; i <= cat.nsta; ++i) {
    for (std::int64_t n = 1; n <= years; ++n) {
      const float* d = table.days(i, n);
      std::int32_t count = 0;
      // A NaN or any value below zero is a day without data.
      for (std::int32_t t = 0; t < kCountedDays; ++t) count += d[t] >= 0.0f;
      const auto cell = static_cast<std::size_t>(i - 1) *
                            static_cast<std::size_t>(years) +
                        static_cast<std::size_t>(n - 1);
      cat.station_n[cell] = count;
      cat.sta_data_flg[cell] = availability_flag(count);
    }
  }
}

}  // namespace gaumo
