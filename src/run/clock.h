#pragma once
// The clock that stamps the yearly files' creation date. It is handed to the
// run, so tests and fuzzers stamp every file with a fixed time.

#include <functional>

namespace gaumo {

/// The local date and time of a creation stamp.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
using Clock = std::function<LocalTime()>;

}  // namespace gaumo
