#include "system/local_clock.h"

#include <ctime>

#include "system/platform.h"

namespace gaumo {

LocalTime local_clock() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (!platform::local_time(now, tm))
    return {};
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

}  // namespace gaumo
