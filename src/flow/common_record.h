#pragma once
// The common-record tier of the record path: the record nearly every
// historical file is made of, "<id>,<text>,YYYY/MM/DD,<value>[,...]", read
// with whole-word tests instead of a field at a time. The run of
// consecutive days builds on it.

#include <cstdint>
#include <string_view>

#include "flow/plain_record.h"
#include "system/compiler.h"
#include "system/little_endian.h"
#include "text/short_decimal.h"

namespace gaumo {

// Whole date parts are checked a load at a time, without a branch per
// byte: a digit, 0x30 to 0x39, has the high half 3 both before and after 6
// is added to it, and a byte that carries into the next fails itself.

/// Whether the eight bytes `a` are "YYYY/MM/".
GAUMO_ALWAYS_INLINE bool is_year_month(std::uint64_t a) {
  constexpr std::uint64_t kHigh = 0x00F0F000F0F0F0F0u;
  constexpr std::uint64_t kThree = 0x0030300030303030u;
  return ((a & kHigh) == kThree) &
         (((a + 0x0606060606060606u) & kHigh) == kThree) &
         ((a & 0xFF0000FF00000000u) == 0x2F00002F00000000u);
}

/// Whether the four bytes `b` are "/DD,".
GAUMO_ALWAYS_INLINE bool is_day(std::uint32_t b) {
  return ((b & 0x00F0F000u) == 0x00303000u) &
         (((b + 0x00060600u) & 0x00F0F000u) == 0x00303000u) &
         ((b & 0xFF0000FFu) == 0x2C00002Fu);
}

/// Whether the 11 bytes at d are "YYYY/MM/DD,".
GAUMO_ALWAYS_INLINE bool is_date_field(const char* d) {
  return is_year_month(load_little<std::uint64_t>(d)) &&
         is_day(load_little<std::uint32_t>(d + 7));
}

/// Where the text from p ends: at the first character that is not part of
/// a value, a line end included, or at e.
GAUMO_ALWAYS_INLINE const char* end_of_text(const char* p, const char* e) {
  while (p < e &&
         kHistoricalClasses[static_cast<unsigned char>(*p)] == kValue) {
    ++p;
  }
  return p;
}

inline std::int16_t two_digits(const char* d) {
  return static_cast<std::int16_t>((d[0] - '0') * 10 + (d[1] - '0'));
}

/// The fields after "<id>," of the commonest historical record.
struct CommonRecord {
  std::string_view second;
  std::int16_t year = 0;
  std::int16_t month = 0;
  std::int16_t day = 0;
  float flow = kMissing;  ///< left as it was when the value is empty
};

/// Scans "<text>,YYYY/MM/DD,<value>" from p, within [p, e), and returns
/// where the value ends, or nullptr (with `r` partly written) when the text
/// is not of that form. A line end in the text is not of it. The value may
/// be read on to `readable` (e or later), when the byte at e is a line end:
/// read eight bytes at a time, rather than one by one up to e. Inlined by
/// force: the general path calls it for every record.
GAUMO_ALWAYS_INLINE const char* scan_common_historical(const char* p,
                                                       const char* e,
                                                       const char* readable,
                                                       CommonRecord& r) {
  const char* second = p;
  p = end_of_text(p, e);
  const auto second_len = static_cast<std::size_t>(p - second);
  // The second field, then YYYY/MM/DD and a comma: 12 characters.
  if (second_len == 0 || e - p < 12 || *p != ',')
    return nullptr;
  const char* d = p + 1;
  if (!is_date_field(d))
    return nullptr;
  p = d + 11;
  // An empty value between two commas keeps what r.flow holds; a record
  // ending right after the date's comma is more than the plain form.
  if (!(p < e && *p == ',')) {
    const ShortDecimal v = scan_short_decimal(p, readable);
    if (v.end == nullptr)
      return nullptr;
    p = v.end;
    r.flow = v.value;
  }
  r.second = std::string_view(second, second_len);
  r.year = static_cast<std::int16_t>(two_digits(d) * 100 + two_digits(d + 2));
  r.month = two_digits(d + 5);
  r.day = two_digits(d + 8);
  return p;
}

/// The commonest historical record, "<id>,<text>,YYYY/MM/DD,<value>[,...]",
/// for a plain identifier that `line` starts with, followed by a comma. Gives
/// what the free-form reader gives and returns true, or returns false with
/// `f` untouched.
bool parse_common_historical(std::string_view line, RecordFields& f);

}  // namespace gaumo
