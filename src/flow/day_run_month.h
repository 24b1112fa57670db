#pragma once
// What the run of consecutive days knows of the month it is in: the bytes
// its records start with, where their values go, the month after, and the
// value readers it tests a record's rest with. Only day_run.cc includes
// this; it is apart so that each file reads top to bottom.

#include <array>
#include <cstdint>
#include <cstring>

#include "flow/calendar.h"
#include "flow/common_record.h"
#include "flow/flow_table.h"
#include "run/run_options.h"
#include "system/compiler.h"
#include "system/little_endian.h"

namespace gaumo::day_run {

/// Whether the `length` bytes at p (16 to 24) are those of `prefix`.
GAUMO_ALWAYS_INLINE bool starts_with(const char* p, const char* prefix,
                                     std::size_t length) {
  return ((load_little<std::uint64_t>(p) ^ load_little<std::uint64_t>(prefix)) |
          (load_little<std::uint64_t>(p + 8) ^
           load_little<std::uint64_t>(prefix + 8)) |
          (load_little<std::uint64_t>(p + length - 8) ^
           load_little<std::uint64_t>(prefix + length - 8))) == 0;
}

/// The record loop's value readers, for kRoom bytes known to be in
/// [p, e); and its test of whether a record starts with the month's
/// `prefix` (`length` bytes, 18 to 24, ending with the date's '/'), then
/// "DD," of the day `day_text` ("/DD,") stands for.
struct WordValues {
  static constexpr std::ptrdiff_t kRoom = 8;
  GAUMO_ALWAYS_INLINE static ShortDecimal read(const char* p, const char* e) {
    return scan_short_decimal_word(p, e);
  }
  GAUMO_ALWAYS_INLINE static bool is_day_of(const char* p, const char* prefix,
                                            std::size_t length,
                                            std::uint32_t day_text) {
    return starts_with(p, prefix, length) &&
           load_little<std::uint32_t>(p + length - 1) == day_text;
  }
};

#if GAUMO_X86_TARGETS

struct VectorValues {
  /// Sixteen bytes, and the one after, which is read when all sixteen are
  /// digits.
  static constexpr std::ptrdiff_t kRoom = 17;
  [[gnu::target("sse4.1")]] static ShortDecimal read(const char* p,
                                                     const char*) {
    return scan_short_decimal_sse41(p);
  }

  /// The prefix's first 16 bytes, and its last 12 with the day's text after
  /// them, each tested at once; `prefix` is aligned to 16 bytes and holds
  /// length + 3 bytes or more.
  [[gnu::target("sse4.1")]] static bool is_day_of(const char* p,
                                                  const char* prefix,
                                                  std::size_t length,
                                                  std::uint32_t day_text) {
    const __m128i head =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                      _mm_load_si128(reinterpret_cast<const __m128i*>(prefix)));
    const char* const tail_at = p + length - 13;
    const __m128i tail = _mm_xor_si128(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(tail_at)),
        _mm_insert_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(
                             prefix + length - 13)),
                         static_cast<int>(day_text), 3));
    const __m128i differ = _mm_or_si128(head, tail);
    return _mm_testz_si128(differ, differ) != 0;
  }
};

#endif  // GAUMO_X86_TARGETS

/// Days a discard array holds: any two-digit day, and the one after.
inline constexpr std::size_t kDiscardDays = 101;

/// What every record of a run is checked against and stored into.
struct RunTarget {
  std::uint64_t key;  ///< the identifier and its comma
  const RunOptions& opts;
  FlowTable& table;
  std::int32_t station;
  float* discard;  ///< kDiscardDays values for years outside the table

  /// The slots of `year`, which must be in the table.
  float* year_days(std::int32_t year) const {
    return table.days(station, std::int64_t{year} - opts.start_year + 1);
  }
};

/// A month of one station's records: what they share, and where they go.
struct Month {
  /// The bytes its records start with, up to and including "YYYY/MM/"
  /// (at most 24); zeros after them.
  alignas(16) char prefix[32] = {};
  std::int32_t year = 0;
  std::int32_t month = 0;      ///< as written: 0 to 99 outside the table
  bool stored = false;         ///< whether the year is in the table
  std::int32_t day0 = 0;       ///< day of the year of the month's day 0
  float* year_days = nullptr;  ///< the year's slots, when it is stored
  /// Where day 1's value goes: its slot, or, in a year outside the table,
  /// the run's discard array, so that storing needs no test.
  float* day1 = nullptr;

  GAUMO_ALWAYS_INLINE bool starts(const char* p, std::size_t length) const {
    return starts_with(p, prefix, length);
  }

  /// Where the value of day `day` (0 to 99) goes, or nullptr when the day
  /// falls outside its year in the table (a message, or dropped). Out of
  /// line: the record loop needs it only for days out of turn.
  GAUMO_NOINLINE float* slot_of(std::int32_t day) const {
    const std::int32_t t = day0 + day;
    if (stored && place_of_day(t) != DayPlace::kSlot)
      return nullptr;
    return day1 + (day - 1);
  }
};

/// Sets month.day1 from its year, month and whether it is stored. The
/// value of day d then goes to day1 + (d - 1), for any day from 0 to 99 in
/// a year outside the table.
inline void point_day1(Month& m, const RunTarget& target) {
  m.day1 = m.stored ? m.year_days + m.day0 : target.discard + 1;
}

/// The months the record loop knows of a station: the one it is in, and
/// the one after.
struct MonthCache {
  /// The length of the months' prefix; 0 when none is known or it is too
  /// long for three loads.
  std::size_t prefix_length = 0;
  Month now;
  /// The month after, whose first record then needs no full check; none
  /// past the year 9999.
  Month following;
  bool has_following = false;
};

/// Writes the two digits of v (0 to 99) at d.
inline void put_two_digits(char* d, std::int32_t v) {
  d[0] = static_cast<char>('0' + v / 10);
  d[1] = static_cast<char>('0' + v % 10);
}

/// Sets `following` to the month after `now`: the same prefix with the
/// date moved on a month, from any month number the prefix may carry in a
/// year outside the table, as the checked path takes those too. Runs once
/// a month of records.
inline void prepare_following(MonthCache& m, const RunTarget& target) {
  const RunOptions& opts = target.opts;
  const std::size_t length = m.prefix_length;
  m.has_following = false;
  if (length == 0)
    return;
  Month& f = m.following;
  f = m.now;
  char* const date = f.prefix + length - 8;  // "YYYY/MM/"
  if (f.month < 12) {
    ++f.month;
  } else {
    ++f.year;
    f.month = 1;
    if (f.year > 9999)
      return;
    put_two_digits(date, f.year / 100);
    put_two_digits(date + 2, f.year % 100);
    f.stored = f.year >= opts.start_year && f.year <= opts.end_year;
    f.year_days = f.stored ? target.year_days(f.year) : nullptr;
  }
  put_two_digits(date + 5, f.month);
  if (f.stored)
    f.day0 = day_of_year(f.year, f.month, 0);
  point_day1(f, target);
  m.has_following = true;
}

/// "/DD," for the days 1 to 31; 0 for the others.
constexpr std::array<std::uint32_t, 101> make_day_texts() {
  std::array<std::uint32_t, 101> t{};
  for (std::uint32_t d = 1; d <= 31; ++d) {
    t[d] = '/' | (('0' + d / 10) << 8) | (('0' + d % 10) << 16) |
           (std::uint32_t{','} << 24);
  }
  return t;
}
inline constexpr std::array<std::uint32_t, 101> kDayTexts = make_day_texts();

/// The day after the last record's, as where its "/DD," is in kDayTexts
/// (0, which no record has, past 31), and where its value goes: records
/// run day after day, and a record of that day needs neither its day read
/// nor its slot checked.
struct NextDay {
  const std::uint32_t* text = kDayTexts.data();
  float* at = nullptr;

  /// The day after `day` (0 to 99), whose value went to `at`.
  static NextDay after(std::int32_t day, float* at) {
    return {kDayTexts.data() + day + 1, at + 1};
  }
};

}  // namespace gaumo::day_run
