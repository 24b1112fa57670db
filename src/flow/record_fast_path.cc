#include "flow/record_fast_path.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "flow/calendar.h"
#include "system/line_end_mask.h"
#include "run/line_scanner.h"
#include "system/little_endian.h"
#include "text/number_parse.h"
#include "system/compiler.h"


namespace gaumo {
namespace {

// How the plain form sees a character: part of a value, a separator (the
// comma, and the character the reader turns into one), or anything that
// gives a field a meaning the plain form does not have: blanks and tabs
// separate, quotes start a quoted text, "*" may make a repeat and "/" ends
// the read.
enum CharClass : unsigned char { kValue, kComma, kOther };

constexpr std::array<CharClass, 256> make_classes(char replaced) {
  std::array<CharClass, 256> t{};
  for (auto& v : t)
    v = kValue;
  // A line end only ever meets the plain form when it scans a whole block.
  for (unsigned char c : {' ', '\t', '"', '\'', '*', '/', '\n'})
    t[c] = kOther;
  t[static_cast<unsigned char>(',')] = kComma;
  t[static_cast<unsigned char>(replaced)] = kComma;
  return t;
}
constexpr std::array<CharClass, 256> kHistoricalClasses = make_classes('/');
constexpr std::array<CharClass, 256> kProvisionalClasses = make_classes('-');

bool parse_short_int16(std::string_view t, std::int16_t& out) {
  std::size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+'))
    neg = t[i++] == '-';
  if (i == t.size() || t.size() - i > 9)
    return false;
  std::int32_t v = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c < '0' || c > '9')
      return false;
    v = v * 10 + (c - '0');
  }
  if (neg)
    v = -v;
  if (v < -32768 || v > 32767)
    return false;
  out = static_cast<std::int16_t>(v);
  return true;
}

constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};

bool is_digit(char c) { return static_cast<unsigned>(c - '0') < 10; }

/// A decimal text read: where it ends (nullptr when it is not one that
/// the fast paths read) and its value. Returned whole rather than through
/// references, which would keep the record loop's values in memory.
struct ShortDecimal {
  const char* end = nullptr;
  float value = 0.0f;
};

/// The digits of [digits] [. [digits]] at p, one at a time; the plain
/// form of scan_short_decimal. Kept out of line: the record loop needs it
/// only near a block's end or for long values, and inlined at each of its
/// three calls it crowded the loop's registers.
GAUMO_NOINLINE ShortDecimal scan_short_decimal_bytes(const char* p,
                                                     const char* e) {
  // The loops stop after eight digits in all, before the mantissa could
  // overflow; a count of eight then fails.
  const char* const start = p;
  const char* limit = e - p > 8 ? p + 8 : e;
  std::int32_t mantissa = 0;
  while (p < limit && is_digit(*p))
    mantissa = mantissa * 10 + (*p++ - '0');
  auto digits = static_cast<int>(p - start);
  int decimals = 0;
  if (p < e && *p == '.') {
    ++p;
    const char* const first = p;
    limit = e - p > 8 - digits ? p + (8 - digits) : e;
    while (p < limit && is_digit(*p))
      mantissa = mantissa * 10 + (*p++ - '0');
    decimals = static_cast<int>(p - first);
    digits += decimals;
  }
  if (digits == 0 || digits > 7)
    return {};
  return {p, static_cast<float>(mantissa) / kPow10[decimals]};
}

/// scan_short_decimal where the eight bytes from p are known to be in
/// [p, e).
GAUMO_ALWAYS_INLINE ShortDecimal scan_short_decimal_word(const char* p,
                                                         const char* e) {
  // The eight bytes from p at once, first byte lowest. After the XOR a
  // digit is 0 to 9, and adding 0x76 sets the high bit of a byte exactly
  // when it is not one. A byte that carries into the next is itself not a
  // digit, so the first two bytes that are not are found right. The masks
  // below come from the lowest set bits alone (x ^ (x - 1) keeps the bits
  // up to and including the lowest): shifts by a count would lengthen the
  // chain every record waits on.
  const auto x = load_little<std::uint64_t>(p) ^ 0x3030303030303030u;
  const std::uint64_t other =
      ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
  if (other == 0)
    return scan_short_decimal_bytes(p, e);
  const std::uint64_t through_first = other ^ (other - 1);
  const std::uint64_t whole_bytes = through_first >> 8;  // before the first
  const std::uint64_t first_byte = through_first ^ whole_bytes;
  std::uint64_t digits_text = x & whole_bytes;
  int length = std::countr_zero(other) / 8;  // characters taken
  int digits = length;
  int decimals = 0;
  if ((x & first_byte) == (0x1E1E1E1E1E1E1E1Eu & first_byte)) {  // a point
    const std::uint64_t rest = other & (other - 1);
    int end = 0;  // where the value ends, past the point
    std::uint64_t before_end = 0;  // the bytes before end - 1
    if (rest != 0) {
      end = std::countr_zero(rest) / 8;
      before_end = (rest ^ (rest - 1)) >> 16;
    } else if (e - p > 8 && !is_digit(p[8])) {
      end = 8;  // seven digits and the point, as in "1234.567"
      before_end = 0x00FFFFFFFFFFFFFFu;
    } else {
      return scan_short_decimal_bytes(p, e);
    }
    // The decimals closed up onto the whole digits, over the point.
    digits_text |= (x >> 8) & before_end & ~whole_bytes;
    decimals = end - length - 1;
    length = end;
    digits += decimals;
  }
  if (digits == 0 || digits > 7)
    return {};
  // Right-aligned in eight digits, then pairs, fours and the eight joined.
  std::uint64_t v = digits_text << (8 * (8 - digits));
  v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
  v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
  v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;
  return {p + length,
          static_cast<float>(static_cast<std::int32_t>(v)) / kPow10[decimals]};
}

/// Scans [digits] [. [digits]] from p, reading nothing at or past e. Not
/// one when there is no digit or more than seven: seven digits keep the
/// mantissa below 2^24 and every power of ten used exact, so one float
/// division rounds correctly. Inlined by force into the record loop, which
/// runs it for every record.
GAUMO_ALWAYS_INLINE ShortDecimal scan_short_decimal(const char* p,
                                                    const char* e) {
  if (e - p < 8)
    return scan_short_decimal_bytes(p, e);
  return scan_short_decimal_word(p, e);
}

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

/// For each count of whole digits (0 to 7) and of decimals (0 to 7): the
/// byte shuffle that puts the digits, without the point, right-aligned in
/// the first eight bytes, zeros before them and in the high eight.
struct DigitShuffles {
  alignas(16) unsigned char by_shape[64][16];
};

constexpr DigitShuffles make_digit_shuffles() {
  DigitShuffles t{};
  for (int whole = 0; whole < 8; ++whole) {
    for (int decimals = 0; decimals < 8; ++decimals) {
      const int digits = whole + decimals;
      for (int k = 0; k < 16; ++k) {
        const int i = k - (8 - digits);  // which digit lands at byte k
        t.by_shape[8 * whole + decimals][k] =
            k < 8 && i >= 0 ? static_cast<unsigned char>(i < whole ? i : i + 1)
                            : 0x80;  // a zero
      }
    }
  }
  return t;
}
constexpr DigitShuffles kDigitShuffles = make_digit_shuffles();

struct VectorValues {
  /// Sixteen bytes, and the one after, which is read when all sixteen are
  /// digits.
  static constexpr std::ptrdiff_t kRoom = 17;
  /// scan_short_decimal_word in SSE4.1: the digit mask of 16 bytes at
  /// once, then one shuffle and three multiply-adds instead of the word's
  /// masks, shifts and multiplications. Sixteen bytes always hold the end
  /// of a value of up to seven digits. Not inlined by force:
  /// it is inlined into the SSE4.1 loop only once the loop's helpers, which
  /// have no target of their own, are inlined there.
  [[gnu::target("sse4.1")]] static ShortDecimal read(const char* p,
                                                     const char*) {
    const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i d = _mm_sub_epi8(raw, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
    // The bytes that are not digits, and a bit above the sixteen for what
    // follows them: one XOR, as the digit mask has sixteen bits. The counts
    // are 64-bit, so that none needs widening to index a table.
    const std::uint64_t other =
        static_cast<std::uint64_t>(
            static_cast<unsigned>(_mm_movemask_epi8(digit))) ^
        0x1FFFFu;
    // Never zero, for the bit above the sixteen; unlike countr_zero, the
    // builtin then needs no test for it.
    const std::size_t whole = static_cast<std::size_t>(__builtin_ctzll(other));
    std::size_t length = whole;  // characters taken
    std::size_t digits = whole;
    if (p[whole] == '.') {
      length = static_cast<std::size_t>(__builtin_ctzll(other & (other - 1)));
      digits = length - 1;
    }
    // One to seven digits (a count of none wraps round).
    if (digits - 1 >= 7)
      return {};
    const std::size_t decimals = digits - whole;
    const __m128i v = _mm_shuffle_epi8(
        d, _mm_load_si128(reinterpret_cast<const __m128i*>(
               kDigitShuffles.by_shape[8 * whole + decimals])));
    // Pairs, fours, then the eight digits joined.
    const __m128i pairs = _mm_maddubs_epi16(
        v, _mm_setr_epi8(10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1));
    const __m128i fours =
        _mm_madd_epi16(pairs, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
    const __m128i eight = _mm_madd_epi16(
        _mm_packus_epi32(fours, fours),
        _mm_setr_epi16(10000, 1, 10000, 1, 10000, 1, 10000, 1));
    return {p + length,
            static_cast<float>(_mm_cvtsi128_si32(eight)) / kPow10[decimals]};
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

std::int16_t two_digits(const char* d) {
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

}  // namespace

bool parse_short_decimal(std::string_view t, float& out) {
  const char* p = t.data();
  const char* e = p + t.size();
  bool neg = false;
  if (p < e && (*p == '-' || *p == '+'))
    neg = *p++ == '-';
  const ShortDecimal v = scan_short_decimal(p, e);
  if (v.end != e)
    return false;
  out = neg ? -v.value : v.value;
  return true;
}

bool is_plain_identifier(const Ident& id) {
  for (char c : id.c) {
    if (kHistoricalClasses[static_cast<unsigned char>(c)] != kValue)
      return false;
  }
  return true;
}

bool parse_common_historical(std::string_view line, RecordFields& f) {
  const char* e = line.data() + line.size();
  CommonRecord r;
  r.flow = f.flow;
  const char* p = scan_common_historical(line.data() + 8, e, e, r);
  if (p == nullptr || (p < e && *p != ','))
    return false;
  std::memcpy(f.ident.data(), line.data(), Ident::size());
  f.second.assign(r.second);
  f.year = r.year;
  f.month = r.month;
  f.day = r.day;
  f.flow = r.flow;
  return true;
}

bool parse_plain_record(std::string_view line, RecordKind kind,
                        RecordFields& f) {
  const bool historical = kind == RecordKind::kHistorical;
  const auto& classes = historical ? kHistoricalClasses : kProvisionalClasses;
  const std::size_t fields = historical ? 6 : 5;
  std::string_view field[6];
  const char* p = line.data();
  const char* e = p + line.size();
  for (std::size_t k = 0; k < fields; ++k) {
    const char* start = p;
    CharClass c = kComma;
    while (p < e && (c = classes[static_cast<unsigned char>(*p)]) == kValue) {
      ++p;
    }
    if (p < e && c == kOther)
      return false;
    field[k] = std::string_view(start, static_cast<std::size_t>(p - start));
    if (k + 1 < fields) {
      // An empty first field, or a line ending right after a comma, means
      // more than the plain form: leave it to the free-form reader.
      if (p == e || (field[k].empty() && k == 0))
        return false;
      ++p;
      if (p == e)
        return false;
    }
  }
  RecordFields r = f;
  std::size_t k = 0;
  // An empty field leaves its target as it was.
  if (!field[k].empty())
    r.ident.assign(field[k]);
  ++k;
  if (historical) {
    if (!field[k].empty())
      r.second.assign(field[k]);
    ++k;
  }
  std::int16_t* date[] = {&r.year, &r.month, &r.day};
  for (std::int16_t* d : date) {
    if (!field[k].empty() && !parse_short_int16(field[k], *d))
      return false;
    ++k;
  }
  if (!field[k].empty() && !parse_short_decimal(field[k], r.flow)) {
    const RealParse real = parse_real(field[k]);
    if (real.error != NumberError::kNone)
      return false;
    r.flow = real.value;
  }
  f = r;
  return true;
}

namespace {

/// Days a discard array holds: any two-digit day, and the one after.
constexpr std::size_t kDiscardDays = 101;

/// What every record of a run is checked against and stored into.
struct RunTarget {
  std::uint64_t key;  ///< the identifier and its comma
  const RunOptions& opts;
  float* days;     ///< the station's first slot
  float* discard;  ///< kDiscardDays values for years outside the table
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
  std::size_t year_slot0 = 0;  ///< first slot of the year
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
    if (stored && (t < 1 || t > kDaySlots))
      return nullptr;
    return day1 + (day - 1);
  }
};

/// Sets month.day1 from its year, month and whether it is stored. The
/// value of day d then goes to day1 + (d - 1), for any day from 0 to 99 in
/// a year outside the table.
void point_day1(Month& m, const RunTarget& target) {
  m.day1 = m.stored ? target.days + m.year_slot0 +
                          static_cast<std::size_t>(m.day0)
                    : target.discard + 1;
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
void put_two_digits(char* d, std::int32_t v) {
  d[0] = static_cast<char>('0' + v / 10);
  d[1] = static_cast<char>('0' + v % 10);
}

/// Sets `following` to the month after `now`: the same prefix with the
/// date moved on a month, from any month number the prefix may carry in a
/// year outside the table, as the checked path takes those too. Runs once
/// a month of records.
void prepare_following(MonthCache& m, const RunTarget& target) {
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
    f.year_slot0 =
        f.stored ? static_cast<std::size_t>(f.year - opts.start_year) * kDaySlots
                 : 0;
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
constexpr std::array<std::uint32_t, 101> kDayTexts = make_day_texts();

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

/// Where the line whose '\n' is at nl ends: before a CR right in front of
/// it.
GAUMO_ALWAYS_INLINE const char* line_end_before(const char* nl) {
  return nl[-1] == '\r' ? nl - 1 : nl;
}

/// Whether what follows the value of the record [p, nl) (from q) has the
/// plain form: nothing, a comma and anything (never read; usually a short
/// flag), or a CR; and the record, without the CR before its line end,
/// fits the record length.
GAUMO_ALWAYS_INLINE bool ends_plainly(const char* p, const char* q,
                                      const char* nl) {
  if (!(q == nl || *q == ',' || (*q == '\r' && q + 1 == nl)))
    return false;
  // A value that ends the line is no CR, so the line end holds in all three.
  constexpr auto kMost = static_cast<std::ptrdiff_t>(kRecordLength);
  return nl - p <= kMost || line_end_before(nl) - p <= kMost;
}

/// ends_plainly for a record whose value starts at q (right after the
/// date's comma), with Values::kRoom bytes from q in [q, end); the value
/// goes to `flow`.
template <typename Values>
GAUMO_ALWAYS_INLINE bool value_ends_plainly(const char* p, const char* q,
                                            const char* nl, const char* end,
                                            float& flow) {
  // An empty value between two commas leaves the day without data; a
  // record ending right after the date's comma is more than this form.
  // The value stops at the line end at the latest.
  if (*q != ',') {
    const ShortDecimal v = Values::read(q, end);
    if (v.end == nullptr)
      return false;
    q = v.end;
    flow = v.value;
  }
  return ends_plainly(p, q, nl);
}

/// Takes the record [p, nl) of a block ending at `end`, if it is of the
/// common form, checking every field; renews `month` when the record
/// starts another month. Returns the day expected next, or nothing when it
/// did not take the record. Kept out of the record loop, which needs it for
/// the first record of a run and when records do not run month after
/// month.
GAUMO_NOINLINE std::optional<NextDay> take_checked(const char* p,
                                                  const char* nl,
                                                  const char* end,
                                                  const RunTarget& target,
                                                  MonthCache& month) {
  const RunOptions& opts = target.opts;
  if (load_little<std::uint64_t>(p) != target.key)
    return std::nullopt;
  CommonRecord r;
  const char* const q = scan_common_historical(p + 8, nl, end, r);
  if (q == nullptr)
    return std::nullopt;
  const bool stored = r.year >= opts.start_year && r.year <= opts.end_year;
  if (stored && (r.month < 1 || r.month > 12))
    return std::nullopt;  // a message: the general path
  if (!ends_plainly(p, q, nl))
    return std::nullopt;
  Month& now = month.now;
  now.year = r.year;
  now.month = r.month;
  now.stored = stored;
  if (stored) {
    now.day0 = day_of_year(r.year, r.month, 0);
    now.year_slot0 =
        static_cast<std::size_t>(r.year - opts.start_year) * kDaySlots;
  }
  point_day1(now, target);
  float* const at = now.slot_of(r.day);
  if (at == nullptr)
    return std::nullopt;
  *at = r.flow;
  // The next records of the month start with the same bytes, up to and
  // including "YYYY/MM/".
  const std::size_t length = 8 + r.second.size() + 1 + 8;
  month.prefix_length = length <= 24 ? length : 0;
  if (month.prefix_length != 0)
    std::memcpy(now.prefix, p, length);
  prepare_following(month, target);
  return NextDay::after(r.day, at);
}

/// Room the month route needs after a record's start: the prefix (at most
/// 24 bytes), the day and its comma, and a look of up to 17 bytes at the
/// value (a value reader's kRoom).
constexpr std::ptrdiff_t kMonthRouteRoom = 48;
/// A chunk of line ends is taken only with this much after its start, so
/// that every record whose end it holds has the month route's room.
constexpr std::ptrdiff_t kChunkRoom = 64 + kMonthRouteRoom;

/// A run of records taken from a block: where the next record starts, the
/// last record taken (nullptr when none; its line ends right before next)
/// and how many lines were taken.
struct Run {
  const char* next = nullptr;
  const char* last = nullptr;
  std::int64_t lines = 0;
};

/// Takes the value of the record [p, nl), whose day `next` stands for and
/// whose prefix (`length` bytes) is checked, if the rest of the record has
/// the plain form; then steps `next` on.
template <typename Values>
GAUMO_ALWAYS_INLINE bool take_value(const char* p, std::size_t length,
                                    const char* nl, const char* end,
                                    NextDay& next) {
  float flow = kMissing;
  if (!value_ends_plainly<Values>(p, p + length + 3, nl, end, flow))
    return false;
  *next.at = flow;
  ++next.text;
  ++next.at;
  return true;
}

/// Takes a record that is not of the day after the last in the same
/// month: the first of the month after, another day of the month, or any
/// other, checked whole.
template <typename Values>
GAUMO_ALWAYS_INLINE bool take_other(const char* p, const char* nl,
                                    const char* end, const RunTarget& target,
                                    MonthCache& month, NextDay& next) {
  const std::size_t length = month.prefix_length;
  if (length != 0) {
    const std::uint32_t day_text = load_little<std::uint32_t>(p + length - 1);
    if (month.now.starts(p, length)) {
      if (!is_day(day_text))
        return false;
      // Another day of the month than the one expected.
      const std::int32_t day = two_digits(p + length);
      float* const at = month.now.slot_of(day);
      if (at == nullptr)
        return false;
      next = {kDayTexts.data() + day, at};
      return take_value<Values>(p, length, nl, end, next);
    }
    if (month.has_following && day_text == kDayTexts[1] &&
        month.following.starts(p, length)) {
      // The first day of the month after: as checked as the last month's
      // records, and its slots are known.
      month.now = month.following;
      prepare_following(month, target);
      next = {kDayTexts.data() + 1, month.now.day1};
      return take_value<Values>(p, length, nl, end, next);
    }
  }
  const std::optional<NextDay> checked =
      take_checked(p, nl, end, target, month);
  if (checked)
    next = *checked;
  return checked.has_value();
}

/// The run of common records from p; [p, end) holds at least kChunkRoom
/// bytes. The line ends are found 64 bytes at a time, apart from the
/// records: were each record's end found by reading it, every record would
/// wait for the one before it. The last lines of a block, where a whole
/// chunk is not left, go through the general path.
template <typename Values>
GAUMO_ALWAYS_INLINE Run take_run(const char* p, const char* end,
                                 const RunTarget& target) {
  static_assert(24 + 3 + Values::kRoom <= kMonthRouteRoom);
  const char* last = nullptr;
  std::int64_t lines = 0;
  const char* chunk = p;
  std::uint64_t ends = line_end_mask(chunk);
  // A record that starts with the bytes of the last checked one, up to its
  // month, has the same identifier, second field, year and month, all
  // already checked and turned into a slot: only the day, the value and
  // the line end are left. Nearly every record is such; so is the first
  // day of the month after, whose bytes follow from the checked ones. Any
  // other record is checked whole, and sets the bytes for the next.
  MonthCache month;
  // Kept apart from `month`, which take_checked writes through a
  // reference, so that it stays in registers.
  NextDay next;
  for (;;) {
    while (ends == 0) {
      chunk += 64;
      if (end - chunk < kChunkRoom)
        return {p, last, lines};
      ends = line_end_mask(chunk);
    }
    const char* const nl = chunk + std::countr_zero(ends);
    ends &= ends - 1;
    bool taken = false;
    const std::size_t length = month.prefix_length;
    if (length != 0 &&
        Values::is_day_of(p, month.now.prefix, length, *next.text)) {
      taken = take_value<Values>(p, length, nl, end, next);
    } else {
      taken = take_other<Values>(p, nl, end, target, month, next);
    }
    if (!taken)
      return {p, last, lines};
    last = p;
    ++lines;
    p = nl + 1;
  }
}

Run take_run_words(const char* p, const char* end, const RunTarget& target) {
  return take_run<WordValues>(p, end, target);
}

#if GAUMO_X86_TARGETS
[[gnu::target("sse4.1")]] Run take_run_vectors(const char* p, const char* end,
                                               const RunTarget& target) {
  return take_run<VectorValues>(p, end, target);
}
#endif

/// The record loop for this processor, or the one with the plain value
/// reader when `vectors` is off.
Run take_run_here(const char* p, const char* end, const RunTarget& target,
                  bool vectors) {
#if GAUMO_X86_TARGETS
  static const bool sse41 = __builtin_cpu_supports("sse4.1");
  if (sse41 && vectors)
    return take_run_vectors(p, end, target);
#else
  (void)vectors;
#endif
  return take_run_words(p, end, target);
}

}  // namespace

void take_common_records(LineScanner& scanner, const Ident& idsta,
                         std::int32_t i, RecordSink& sink) {
  const std::string_view block = scanner.buffered();
  if (block.size() < static_cast<std::size_t>(kChunkRoom))
    return;
  const char* const p = block.data();
  const char* const end = p + block.size();
  char key_text[8];
  std::memcpy(key_text, idsta.c.data(), 7);
  key_text[7] = ',';
  // Values of years outside the table go here, unread.
  float discard[kDiscardDays];
  const RunTarget target{load_little<std::uint64_t>(key_text), sink.opts,
                         sink.table.days(i, 1), discard};
  const Run run = take_run_here(p, end, target, sink.vector_values);
  if (run.last == nullptr)
    return;
  RecordFields& f = sink.fields;
  f.flow = kMissing;
  const char* const last_end = line_end_before(run.next - 1);
  parse_common_historical(
      std::string_view(run.last, static_cast<std::size_t>(last_end - run.last)),
      f);
  scanner.skip(static_cast<std::size_t>(run.next - p), run.lines);
}

}  // namespace gaumo
