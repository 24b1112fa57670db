#pragma once
// From the readings of a station's Datamart files to daily means. The files
// overlap (the hourly file's two days lie inside the daily file's thirty),
// so their readings are pooled first, one per instant. A day is the
// calendar day of each timestamp in the offset it carries (the station's
// local standard time), and gets a mean only when each of its 24 clock
// hours holds a reading: a model is better without a value than with the
// mean of half a day.

#include <cstdint>
#include <vector>

#include "realtime/datamart_file.h"

namespace gaumo::realtime {

/// One file's readings for pooling, in reading order.
struct PoolSource {
  const std::vector<Reading>* readings = nullptr;
  /// Readings of an hourly file win over those of a daily file: it is
  /// rewritten more often.
  bool hourly = false;
};

/// One reading per instant, in time order. For an instant given more than
/// once, an hourly file's reading beats a daily file's; otherwise the later
/// one (a later file of `sources`, a later line of the same file) wins.
std::vector<Reading> pool_readings(const std::vector<PoolSource>& sources);

/// A calendar day, as one number that sorts like the date.
using DayKey = std::int64_t;
DayKey day_key(std::int32_t year, std::int32_t month, std::int32_t day);
inline DayKey day_key(const Reading& r) {
  return day_key(r.year, r.month, r.day);
}

/// A complete day's mean.
struct DayMean {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  double mean = 0.0;
  std::int64_t readings = 0;
};

struct DailyMeans {
  /// The complete days, in date order.
  std::vector<DayMean> complete;
  /// The days with a reading but some clock hour without one, in date
  /// order.
  std::vector<DayKey> incomplete;
};

/// The daily means of pooled readings.
DailyMeans daily_means(const std::vector<Reading>& pooled);

/// Of the days `readings` fall on, how many are complete and how many
/// incomplete in `means`.
struct DayCounts {
  std::int64_t complete = 0;
  std::int64_t incomplete = 0;
};
DayCounts count_days(const std::vector<Reading>& readings,
                     const DailyMeans& means);

/// A mean as the flow table's 32-bit value (every reading fits a float,
/// so only rounding could push a mean past the largest one).
float table_value(double mean);

}  // namespace gaumo::realtime
