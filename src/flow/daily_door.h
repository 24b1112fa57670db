#pragma once
// The one door through which every source of daily values reaches the flow
// table: the year-range test, the slot of a date, the "Error:  " line for a
// date that has none, and whether a value replaces the slot or only fills
// it while it is empty. Readers parse their own input and hand each daily
// value in here; none of them touches the table directly.

#include <cstdint>
#include <string>

#include "flow/flow_table.h"
#include "run/run_log.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"

namespace gaumo {

/// How a value meets its slot.
enum class Placing {
  kReplace,    ///< historical data: the value replaces what the slot held
  kFillEmpty,  ///< provisional data: only a slot below zero (or NaN) is filled
};

/// What the door did with one value.
enum class Placed {
  kOutsideYears,  ///< the year is outside the run's range: ignored silently
  kStored,        ///< written into its slot
  kKept,          ///< kFillEmpty, and the slot already held a value
  kReported,      ///< the date has no place (month outside 1..12, or a day
                  ///< off the time axis): an "Error:  " line was written
  kDropped,       ///< a day of the time axis past the 366 kept: dropped
                  ///< silently
};

/// One daily value: a date as its source wrote it (not yet checked) and the
/// value.
struct DailyValue {
  std::int16_t year = 0;
  std::int16_t month = 0;
  std::int16_t day = 0;
  float value = kMissing;
};

/// The information-file line for a record that could not be read or
/// placed: "Error:  ", the 7-character identifier, then year, month and
/// day right-aligned in 5 columns each, and a newline.
std::string error_line(const Ident& ident, std::int32_t year,
                       std::int32_t month, std::int32_t day);

class DailyDoor {
 public:
  DailyDoor(const RunOptions& opts, FlowTable& table, RunLog& log)
      : opts_(opts), table_(table), log_(log) {}

  /// Places value v of station i (1-based). A date without a place gets
  /// the "Error:  " line showing `shown` (the identifier the record itself
  /// carries, which need not be the listed one).
  Placed put(std::int32_t i, const DailyValue& v, Placing how,
             const Ident& shown) {
    return place(i, v, how, &shown);
  }

  /// The same for a record its reader has already reported as unreadable
  /// and still applies: no second line for it, whatever happens.
  Placed put_reported(std::int32_t i, const DailyValue& v, Placing how) {
    return place(i, v, how, nullptr);
  }

  const RunOptions& options() const { return opts_; }
  FlowTable& table() { return table_; }
  RunLog& log() { return log_; }

 private:
  Placed place(std::int32_t i, const DailyValue& v, Placing how,
               const Ident* shown);

  const RunOptions& opts_;
  FlowTable& table_;
  RunLog& log_;
};

}  // namespace gaumo
