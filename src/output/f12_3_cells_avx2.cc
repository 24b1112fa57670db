// F12.3 cells eight at a time with AVX2; picked at run time where the
// processor has it.

#include "output/f12_3_cells_paths.h"
#include "text/fixed_fields.h"

#if GAUMO_X86_TARGETS

namespace gaumo::cells {
namespace {

// Tuned for a processor whose vector multiplies are cheap: for the generic
// tuning GCC turns each multiply by 100 or 10 below into three shifts and
// two adds, about a tenth more instructions per cell. The code still runs
// on any processor with AVX2.
#define GAUMO_AVX2_TARGET gnu::target("avx2,tune=znver3")
#define GAUMO_AVX2 [[GAUMO_AVX2_TARGET, gnu::always_inline]] inline

/// The four characters of each lane's number below 10000, first digit at
/// the lowest address, leading zeros kept.
GAUMO_AVX2 __m256i four_digits(__m256i n) {
  // n / 100 is (n * 5243) >> 19 below 43699; x / 10 is (x * 6554) >> 16
  // below 100 (both checked over their whole ranges in the tests).
  const __m256i hundreds =
      _mm256_srli_epi32(_mm256_mullo_epi32(n, _mm256_set1_epi32(5243)), 19);
  const __m256i rest =
      _mm256_sub_epi32(n, _mm256_mullo_epi32(hundreds, _mm256_set1_epi32(100)));
  // Two numbers below 100 per lane, the first in the low half.
  const __m256i pairs = _mm256_or_si256(hundreds, _mm256_slli_epi32(rest, 16));
  const __m256i tens = _mm256_mulhi_epu16(pairs, _mm256_set1_epi16(6554));
  const __m256i ones =
      _mm256_sub_epi16(pairs, _mm256_mullo_epi16(tens, _mm256_set1_epi16(10)));
  return _mm256_or_si256(_mm256_or_si256(tens, _mm256_slli_epi16(ones, 8)),
                         _mm256_set1_epi8('0'));
}

/// Eight-character heads (whole part as eight digits) with the leading
/// zeros turned into blanks, the last digit always kept, and a minus
/// before the first digit in the lanes that `negative` marks.
GAUMO_AVX2 __m256i blank_and_sign(__m256i head, __m256i negative) {
  const __m256i ones = _mm256_set1_epi64x(-1);
  const __m256i last_byte =
      _mm256_set1_epi64x(static_cast<long long>(0xFF00000000000000u));
  // Bytes that are not '0', and always the last: the lowest such byte is
  // the first digit shown; every byte below it becomes a blank.
  const __m256i shown = _mm256_or_si256(
      _mm256_xor_si256(_mm256_cmpeq_epi8(head, _mm256_set1_epi8('0')), ones),
      last_byte);
  const __m256i lowest =
      _mm256_and_si256(shown, _mm256_sub_epi64(_mm256_setzero_si256(), shown));
  const __m256i blanks = _mm256_add_epi64(lowest, ones);
  head = _mm256_xor_si256(
      head, _mm256_and_si256(blanks, _mm256_set1_epi8('0' ^ ' ')));
  // The last blank, right before the first digit (there is always one, as
  // the whole part has at most seven digits).
  const __m256i sign_at =
      _mm256_xor_si256(blanks, _mm256_srli_epi64(blanks, 8));
  return _mm256_xor_si256(head,
                          _mm256_and_si256(_mm256_and_si256(sign_at, negative),
                                           _mm256_set1_epi8('-' ^ ' ')));
}

/// One 32-byte piece of output from the 32-bit parts of a, b and c, each
/// put in place by its index vector: a lane takes c where its bit of
/// kFromC is set, else b where its bit of kFromB is, else a.
template <int kFromB, int kFromC>
GAUMO_AVX2 __m256i pick(__m256i a, __m256i ia, __m256i b, __m256i ib, __m256i c,
                        __m256i ic) {
  const __m256i ab =
      _mm256_blend_epi32(_mm256_permutevar8x32_epi32(a, ia),
                         _mm256_permutevar8x32_epi32(b, ib), kFromB);
  return _mm256_blend_epi32(ab, _mm256_permutevar8x32_epi32(c, ic), kFromC);
}

/// Whole part split into thousands and units, and the three decimals, of
/// four cells' thousandths `u` (integers below 10^10): each as 32-bit.
struct Parts {
  __m128i high;      // whole / 10000
  __m128i low;       // whole % 10000
  __m128i decimals;  // u % 1000
};

GAUMO_AVX2 Parts split(__m256d u) {
  // floor(fl((u + 0.5) * 0.001)) is u / 1000 rounded down: the exact
  // quotient lies at least 0.0005 from an integer and the products are
  // off by far less below 10^10. The same holds for the division by 10^4.
  const __m256d half = _mm256_set1_pd(0.5);
  const __m256d whole = _mm256_round_pd(
      _mm256_mul_pd(_mm256_add_pd(u, half), _mm256_set1_pd(0.001)),
      _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  const __m256d decimals =
      _mm256_sub_pd(u, _mm256_mul_pd(whole, _mm256_set1_pd(1000.0)));
  const __m256d high = _mm256_round_pd(
      _mm256_mul_pd(_mm256_add_pd(whole, half), _mm256_set1_pd(0.0001)),
      _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  const __m256d low =
      _mm256_sub_pd(whole, _mm256_mul_pd(high, _mm256_set1_pd(10000.0)));
  return {_mm256_cvtpd_epi32(high), _mm256_cvtpd_epi32(low),
          _mm256_cvtpd_epi32(decimals)};
}

/// Thousandths of |v| rounded half to even, or false when any of the four
/// is too large for the fast path (or not a number).
GAUMO_AVX2 bool thousandths(__m128 v, __m256d& u) {
  const __m256d magnitude = _mm256_and_pd(
      _mm256_cvtps_pd(v),
      _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF)));
  const __m256d a = _mm256_mul_pd(magnitude, _mm256_set1_pd(1000.0));  // exact
  const __m256d fits =
      _mm256_cmp_pd(a, _mm256_set1_pd(9999999999.0), _CMP_LT_OQ);
  u = _mm256_round_pd(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  return _mm256_movemask_pd(fits) == 0xF;
}

/// Eight cells of format_f12_3 at dst, or false (nothing written) when one
/// of the values needs the general path.
GAUMO_AVX2 bool eight_cells(char* dst, const float* values) {
  const __m256 v = _mm256_loadu_ps(values);
  __m256d u0, u1;
  const bool fit0 = thousandths(_mm256_castps256_ps128(v), u0);
  const bool fit1 = thousandths(_mm256_extractf128_ps(v, 1), u1);
  if (!(fit0 && fit1))
    return false;
  const Parts p0 = split(u0);
  const Parts p1 = split(u1);
  const __m256i high = four_digits(_mm256_set_m128i(p1.high, p0.high));
  const __m256i low = four_digits(_mm256_set_m128i(p1.low, p0.low));
  // "0ddd" with the point over the zero.
  const __m256i tail = _mm256_or_si256(
      _mm256_and_si256(four_digits(_mm256_set_m128i(p1.decimals, p0.decimals)),
                       _mm256_set1_epi32(static_cast<int>(0xFFFFFF00u))),
      _mm256_set1_epi32('.'));
  // The sign of each stored number, -0.0 included, as 32-bit masks.
  const __m256i negative = _mm256_srai_epi32(_mm256_castps_si256(v), 31);
  // Heads of cells 0, 1, 4, 5 and of cells 2, 3, 6, 7.
  const __m256i a = blank_and_sign(_mm256_unpacklo_epi32(high, low),
                                   _mm256_unpacklo_epi32(negative, negative));
  const __m256i b = blank_and_sign(_mm256_unpackhi_epi32(high, low),
                                   _mm256_unpackhi_epi32(negative, negative));
  // Cell k is 32-bit words 3k, 3k + 1 (its head) and 3k + 2 (its tail).
  const __m256i out0 =
      pick<0xC0, 0x24>(a, _mm256_setr_epi32(0, 1, 0, 2, 3, 0, 0, 0), b,
                       _mm256_setr_epi32(0, 0, 0, 0, 0, 0, 0, 1), tail,
                       _mm256_setr_epi32(0, 0, 0, 0, 0, 1, 0, 0));
  const __m256i out1 =
      pick<0x06, 0x49>(a, _mm256_setr_epi32(0, 0, 0, 0, 4, 5, 0, 6), b,
                       _mm256_setr_epi32(0, 2, 3, 0, 0, 0, 0, 0), tail,
                       _mm256_setr_epi32(2, 0, 0, 3, 0, 0, 4, 0));
  const __m256i out2 =
      pick<0x6C, 0x92>(a, _mm256_setr_epi32(7, 0, 0, 0, 0, 0, 0, 0), b,
                       _mm256_setr_epi32(0, 0, 4, 5, 0, 6, 7, 0), tail,
                       _mm256_setr_epi32(0, 5, 0, 0, 6, 0, 0, 7));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), out0);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 32), out1);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 64), out2);
  return true;
}

}  // namespace

[[GAUMO_AVX2_TARGET]] void format_cells_avx2(char* dst, const float* values,
                                             std::size_t n) {
  std::size_t k = 0;
  for (; n - k >= 8; k += 8) {
    if (!eight_cells(dst + 12 * k, values + k))
      format_cells(dst + 12 * k, values + k, 8);
  }
  format_cells(dst + 12 * k, values + k, n - k);
}

}  // namespace gaumo::cells

#endif  // GAUMO_X86_TARGETS
