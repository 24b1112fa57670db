#pragma once
// The run options set by the dialogue and read by every later stage.

#include <algorithm>
#include <cstdint>

namespace gaumo {

struct RunOptions {
  std::int32_t start_year = 0;
  std::int32_t end_year = 0;
  /// end_year - start_year + 1, computed without overflow; 0 or negative
  /// when the last year lies before the first.
  std::int64_t nyears = 0;
  /// max(nyears, 0): the number of year planes of every per-year table.
  std::int64_t year_count() const { return std::max<std::int64_t>(nyears, 0); }
};

inline RunOptions make_run_options(std::int32_t start, std::int32_t end) {
  RunOptions o;
  o.start_year = start;
  o.end_year = end;
  o.nyears = std::int64_t{end} - std::int64_t{start} + 1;
  return o;
}

}  // namespace gaumo
