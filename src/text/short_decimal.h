#pragma once
// Short decimal texts read exactly and fast: the record loop reads every
// value through these. A decimal of at most seven digits fits a float's
// mantissa, and every power of ten up to 10^7 is exact, so one float
// division gives the correctly rounded value, as the general number parser
// does. Longer texts are declined and go to the general parser.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "system/compiler.h"
#include "system/little_endian.h"

namespace gaumo {

inline constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f,
                                   1e4f, 1e5f, 1e6f, 1e7f};

inline bool is_digit(char c) { return static_cast<unsigned>(c - '0') < 10; }

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
GAUMO_NOINLINE inline ShortDecimal scan_short_decimal_bytes(const char* p,
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
    int end = 0;                   // where the value ends, past the point
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

/// The decimal text `t` as a float rounded once, when it is short enough
/// for exact float arithmetic ([sign] digits [. digits], at most 7 digits);
/// false otherwise.
bool parse_short_decimal(std::string_view t, float& out);

/// [sign] digits, at most nine, within -32768..32767; false otherwise.
bool parse_short_int16(std::string_view t, std::int16_t& out);

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
inline constexpr DigitShuffles kDigitShuffles = make_digit_shuffles();

/// scan_short_decimal_word in SSE4.1, for 17 bytes from p: the digit mask of 16
/// bytes at once, then one shuffle and three multiply-adds instead of the
/// word's masks, shifts and multiplications. Sixteen bytes always hold the end
/// of a value of up to seven digits. Not inlined by force:
/// it is inlined into the SSE4.1 loop only once the loop's helpers, which
/// have no target of their own, are inlined there.
[[gnu::target("sse4.1")]] inline ShortDecimal scan_short_decimal_sse41(
    const char* p) {
  const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i d = _mm_sub_epi8(raw, _mm_set1_epi8('0'));
  const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
  // The bytes that are not digits, and a bit above the sixteen for what
  // follows them: one XOR, as the digit mask has sixteen bits. The counts
  // are 64-bit, so that none needs widening to index a table.
  const std::uint64_t other = static_cast<std::uint64_t>(static_cast<unsigned>(
                                  _mm_movemask_epi8(digit))) ^
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
  const __m128i v =
      _mm_shuffle_epi8(d, _mm_load_si128(reinterpret_cast<const __m128i*>(
                              kDigitShuffles.by_shape[8 * whole + decimals])));
  // Pairs, fours, then the eight digits joined.
  const __m128i pairs = _mm_maddubs_epi16(
      v, _mm_setr_epi8(10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1));
  const __m128i fours =
      _mm_madd_epi16(pairs, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
  const __m128i eight =
      _mm_madd_epi16(_mm_packus_epi32(fours, fours),
                     _mm_setr_epi16(10000, 1, 10000, 1, 10000, 1, 10000, 1));
  return {p + length,
          static_cast<float>(_mm_cvtsi128_si32(eight)) / kPow10[decimals]};
}

#endif  // GAUMO_X86_TARGETS

}  // namespace gaumo
