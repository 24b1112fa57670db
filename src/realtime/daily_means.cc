#include "realtime/daily_means.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <map>

namespace gaumo::realtime {
namespace {

constexpr std::uint32_t kAllHours = (std::uint32_t{1} << 24) - 1;

struct Ranked {
  const Reading* reading;
  bool hourly;
};

}  // namespace

std::vector<Reading> pool_readings(const std::vector<PoolSource>& sources) {
  std::vector<Ranked> all;
  for (const PoolSource& s : sources) {
    if (s.readings == nullptr)
      continue;
    for (const Reading& r : *s.readings)
      all.push_back(Ranked{&r, s.hourly});
  }
  // Stable: among equal keys the source order, then the line order, stays,
  // so the last of each instant is the one that wins.
  std::stable_sort(all.begin(), all.end(),
                   [](const Ranked& a, const Ranked& b) {
                     if (a.reading->instant != b.reading->instant)
                       return a.reading->instant < b.reading->instant;
                     return !a.hourly && b.hourly;
                   });
  std::vector<Reading> pooled;
  for (std::size_t k = 0; k < all.size(); ++k) {
    const bool last_of_instant =
        k + 1 == all.size() ||
        all[k + 1].reading->instant != all[k].reading->instant;
    if (last_of_instant)
      pooled.push_back(*all[k].reading);
  }
  return pooled;
}

DayKey day_key(std::int32_t year, std::int32_t month, std::int32_t day) {
  return (std::int64_t{year} * 16 + month) * 32 + day;
}

DailyMeans daily_means(const std::vector<Reading>& pooled) {
  struct Day {
    const Reading* first = nullptr;
    double sum = 0.0;
    std::int64_t count = 0;
    std::uint32_t hours = 0;
  };
  std::map<DayKey, Day> days;
  for (const Reading& r : pooled) {
    Day& d = days[day_key(r)];
    if (d.first == nullptr)
      d.first = &r;
    d.sum += r.discharge;
    ++d.count;
    if (r.hour >= 0 && r.hour < 24)
      d.hours |= std::uint32_t{1} << static_cast<unsigned>(r.hour);
  }
  DailyMeans out;
  for (const auto& [key, d] : days) {
    if (d.hours != kAllHours) {
      out.incomplete.push_back(key);
      continue;
    }
    out.complete.push_back(DayMean{d.first->year, d.first->month, d.first->day,
                                   d.sum / static_cast<double>(d.count),
                                   d.count});
  }
  return out;
}

DayCounts count_days(const std::vector<Reading>& readings,
                     const DailyMeans& means) {
  std::vector<DayKey> keys;
  keys.reserve(readings.size());
  for (const Reading& r : readings)
    keys.push_back(day_key(r));
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  std::vector<DayKey> complete;
  complete.reserve(means.complete.size());
  for (const DayMean& m : means.complete)
    complete.push_back(day_key(m.year, m.month, m.day));
  DayCounts c;
  for (const DayKey k : keys) {
    if (std::binary_search(complete.begin(), complete.end(), k)) {
      ++c.complete;
    } else {
      ++c.incomplete;
    }
  }
  return c;
}

float table_value(double mean) {
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(mean, -kMax, kMax));
}

}  // namespace gaumo::realtime
