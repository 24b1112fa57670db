#pragma once
// Fixed-width fields of the files written in columns. A number that does
// not fit its field fills the whole field with asterisks. Every function
// appends to `out` and never fails.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace gaumo {

/// Integer right-aligned in `width` characters.
void put_int(std::string& out, std::int64_t v, int width);

/// Fixed point: `v` rounded (ties to even, on its exact binary value) to
/// `decimals` places, right-aligned in `width`; with 0 decimals the digits
/// are followed by a decimal point. The 0 before the point of a magnitude
/// below 1 is dropped only when the field has no room for it.
void put_fixed(std::string& out, double v, int width, int decimals);

/// Exponent form 0.ddddE+xx with `digits` mantissa digits, right-aligned.
void put_exp(std::string& out, double v, int width, int digits);

/// Text right-aligned in `width` (blanks in front), or cut to its first
/// `width` characters.
void put_text_right(std::string& out, std::string_view text, int width);

/// `n` blanks.
void put_blanks(std::string& out, int n);

/// The fixed-point field of `put_fixed(v, 12, 3)` for the daily flow rows,
/// on a fast path that avoids general formatting for ordinary values.
void put_f12_3(std::string& out, float v);

/// The general path of format_f12_3.
void format_f12_3_general(char* dst, float v);

/// The same 12 characters written at `dst`, for rows formatted in place.
/// Inline, as the yearly files call it for every cell.
inline void format_f12_3(char* dst, float v) {
  if (v == -1.0f) {  // the commonest value of all: a day without data
    std::memcpy(dst, "      -1.000", 12);
    return;
  }
  const double a = std::fabs(static_cast<double>(v) * 1000.0);  // exact
  // Below 9999999999 thousandths the digits always fit in 12 columns with
  // the sign; anything else, and any machine that stores the high byte
  // first, takes the general path.
  if (std::endian::native != std::endian::little || !(a < 9999999999.0)) {
    format_f12_3_general(dst, v);
    return;
  }
  // Adding and taking away 2^52 rounds a double below 2^52 to an integer,
  // ties to even, in the default rounding mode: the rounding of put_fixed.
  // Without fast-math the compiler keeps both operations.
  constexpr double kTwo52 = 4503599627370496.0;
  const auto units =
      static_cast<std::uint64_t>(static_cast<std::int64_t>((a + kTwo52) - kTwo52));
  const auto whole = static_cast<std::uint32_t>(units / 1000);  // < 10^7
  const auto frac = static_cast<std::uint32_t>(units % 1000);
  // Columns 1-8 hold the whole part as eight digits, made without a branch
  // on its length (a row mixes stations of every size, so such a branch
  // would be mispredicted half of the time) and without a store: the value
  // is split in 32-bit lanes into two halves of four digits, then in 16-bit
  // lanes into pairs, then in bytes into digits, first digit lowest.
  // Multiplying by 10486 / 2^20 divides below 43699 by 100, and by 103 /
  // 2^10 divides below 179 by 10, so no lane ever carries into the next.
  std::uint64_t lanes = (whole / 10000) | std::uint64_t{whole % 10000} << 32;
  std::uint64_t high = ((lanes * 10486) >> 20) & 0x0000007F0000007Fu;
  lanes = high | (lanes - high * 100) << 16;
  high = ((lanes * 103) >> 10) & 0x000F000F000F000Fu;
  lanes = high | (lanes - high * 10) << 8;
  // The leading zeros are the low zero bytes; the last digit always shows.
  const auto lead = static_cast<unsigned>(
      std::countr_zero(lanes | std::uint64_t{1} << 56) / 8);  // 1 to 7
  const std::uint64_t blank_mask = (std::uint64_t{1} << (8 * lead)) - 1;
  std::uint64_t word = ((lanes | 0x3030303030303030u) & ~blank_mask) |
                       (0x2020202020202020u & blank_mask);
  // The sign of the stored number, -0.0 included, before the first digit.
  const std::uint64_t minus =
      (std::uint64_t{'-' ^ ' '} << (8 * (lead - 1))) &
      (std::uint64_t{0} - static_cast<std::uint64_t>(std::signbit(v)));
  word ^= minus;
  std::memcpy(dst, &word, 8);
  // ".ddd" the same way; 5243 / 2^19 divides below 43699 by 100.
  const std::uint32_t hundreds = (frac * 5243) >> 19;
  const std::uint32_t rest = frac - hundreds * 100;
  const std::uint32_t tens = (rest * 103) >> 10;
  const std::uint32_t tail = '.' | ('0' + hundreds) << 8 | ('0' + tens) << 16 |
                             ('0' + rest - tens * 10) << 24;
  std::memcpy(dst + 8, &tail, 4);
}

}  // namespace gaumo
