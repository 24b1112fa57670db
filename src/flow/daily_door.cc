#include "flow/daily_door.h"

#include "flow/calendar.h"
#include "text/fixed_fields.h"

namespace gaumo {

std::string error_line(const Ident& ident, std::int32_t year,
                       std::int32_t month, std::int32_t day) {
  std::string s = "Error:  ";
  s.append(ident.view());
  put_int(s, year, 5);
  put_int(s, month, 5);
  put_int(s, day, 5);
  s += '\n';
  return s;
}

Placed DailyDoor::place(std::int32_t i, const DailyValue& v, Placing how,
                        const Ident* shown) {
  if (v.year < opts_.start_year || v.year > opts_.end_year)
    return Placed::kOutsideYears;
  const bool month_ok = v.month >= 1 && v.month <= 12;
  const std::int32_t t = month_ok ? day_of_year(v.year, v.month, v.day) : 0;
  const DayPlace where = month_ok ? place_of_day(t) : DayPlace::kOffAxis;
  if (where == DayPlace::kOffAxis) {
    if (shown != nullptr)
      log_.record_error(i, error_line(*shown, v.year, v.month, v.day));
    return Placed::kReported;
  }
  if (where == DayPlace::kBeyondSlots)
    return Placed::kDropped;
  float& slot = table_.days(i, std::int64_t{v.year} - opts_.start_year +
                                   1)[static_cast<std::size_t>(t - 1)];
  if (how == Placing::kFillEmpty && !(slot < 0.0f))
    return Placed::kKept;
  slot = v.value;
  return Placed::kStored;
}

}  // namespace gaumo
