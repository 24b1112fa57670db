#pragma once
// Fixed-width fields of the files written in columns. A number that does
// not fit its field fills the whole field with asterisks. Every function
// appends to `out` and never fails.

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
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

namespace detail {
/// "dddd" and ".ddd" for every n, as little-endian words.
template <std::size_t N>
constexpr std::array<std::uint32_t, N> digit_words(bool point) {
  std::array<std::uint32_t, N> t{};
  for (std::uint32_t n = 0; n < N; ++n) {
    const std::uint32_t d[4] = {n / 1000 % 10, n / 100 % 10, n / 10 % 10,
                                n % 10};
    t[n] = (point ? std::uint32_t{'.'} : '0' + d[0]) | ('0' + d[1]) << 8 |
           ('0' + d[2]) << 16 | ('0' + d[3]) << 24;
  }
  return t;
}
}  // namespace detail
inline constexpr auto kFourDigits = detail::digit_words<10000>(false);
inline constexpr auto kPointAndThreeDigits = detail::digit_words<1000>(true);

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
  const auto units = static_cast<std::uint64_t>(
      static_cast<std::int64_t>((a + kTwo52) - kTwo52));
  const auto whole = static_cast<std::uint32_t>(units / 1000);  // < 10^7
  const auto frac = static_cast<std::uint32_t>(units % 1000);
  // Columns 1-8 hold the whole part as eight digits from two lookups of
  // four, with no branch on its length (a row mixes stations of every
  // size, so such a branch would be mispredicted half of the time). The
  // leading zeros then become blanks and the sign goes before the first
  // digit, both by mask.
  std::uint64_t word = std::uint64_t{kFourDigits[whole / 10000]} |
                       std::uint64_t{kFourDigits[whole % 10000]} << 32;
  // The leading zeros are the low '0' bytes; the last digit always shows.
  const auto lead = static_cast<unsigned>(
      std::countr_zero((word ^ 0x3030303030303030u) | std::uint64_t{1} << 56) /
      8);  // 1 to 7
  const std::uint64_t blank_mask = (std::uint64_t{1} << (8 * lead)) - 1;
  word ^= (0x3030303030303030u ^ 0x2020202020202020u) & blank_mask;
  // The sign of the stored number, -0.0 included, before the first digit.
  const std::uint64_t minus =
      (std::uint64_t{'-' ^ ' '} << (8 * (lead - 1))) &
      (std::uint64_t{0} - static_cast<std::uint64_t>(std::signbit(v)));
  word ^= minus;
  std::memcpy(dst, &word, 8);
  const std::uint32_t tail = kPointAndThreeDigits[frac];
  std::memcpy(dst + 8, &tail, 4);
}

/// `n` cells of format_f12_3 one after another from `dst` (12 * n bytes):
/// a day's row of a yearly file. Eight or sixteen at a time with vector
/// instructions where the machine has them.
void format_f12_3_cells(char* dst, const float* values, std::size_t n);

/// The ways format_f12_3_cells can go, so that tests and benchmarks can
/// run each that the machine has: one cell at a time, eight with AVX2,
/// sixteen with AVX-512.
enum class CellsPath { kOneByOne, kAvx2, kAvx512 };
bool has_cells_path(CellsPath path);
/// format_f12_3_cells through `path`, which the machine must have.
void format_f12_3_cells_by(CellsPath path, char* dst, const float* values,
                           std::size_t n);

}  // namespace gaumo
