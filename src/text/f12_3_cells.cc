#include <cstddef>

#include "text/fixed_fields.h"
#include "text/x86_targets.h"

namespace gaumo {
namespace {

void format_cells(char* dst, const float* values, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k)
    format_f12_3(dst + 12 * k, values[k]);
}

#if GAUMO_X86_TARGETS

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

[[GAUMO_AVX2_TARGET]] void format_cells_avx2(char* dst, const float* values,
                                             std::size_t n) {
  std::size_t k = 0;
  for (; n - k >= 8; k += 8) {
    if (!eight_cells(dst + 12 * k, values + k))
      format_cells(dst + 12 * k, values + k, 8);
  }
  format_cells(dst + 12 * k, values + k, n - k);
}

// Sixteen cells at a time: the steps of eight_cells on 512-bit vectors.
// GCC 12's AVX-512 headers hand "undefined" vectors to the builtins, which
// its own -Wmaybe-uninitialized then reports once they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#define GAUMO_AVX512_TARGET \
  gnu::target("avx512f,avx512bw,avx512dq,tune=znver3")
#define GAUMO_AVX512 [[GAUMO_AVX512_TARGET, gnu::always_inline]] inline

GAUMO_AVX512 __m512i four_digits(__m512i n) {
  const __m512i hundreds =
      _mm512_srli_epi32(_mm512_mullo_epi32(n, _mm512_set1_epi32(5243)), 19);
  const __m512i rest =
      _mm512_sub_epi32(n, _mm512_mullo_epi32(hundreds, _mm512_set1_epi32(100)));
  const __m512i pairs = _mm512_or_si512(hundreds, _mm512_slli_epi32(rest, 16));
  const __m512i tens = _mm512_mulhi_epu16(pairs, _mm512_set1_epi16(6554));
  const __m512i ones =
      _mm512_sub_epi16(pairs, _mm512_mullo_epi16(tens, _mm512_set1_epi16(10)));
  return _mm512_or_si512(_mm512_or_si512(tens, _mm512_slli_epi16(ones, 8)),
                         _mm512_set1_epi8('0'));
}

GAUMO_AVX512 __m512i blank_and_sign(__m512i head, __m512i negative) {
  const __m512i ones = _mm512_set1_epi64(-1);
  const __m512i shown = _mm512_or_si512(
      _mm512_movm_epi8(_mm512_cmpneq_epi8_mask(head, _mm512_set1_epi8('0'))),
      _mm512_set1_epi64(static_cast<long long>(0xFF00000000000000u)));
  const __m512i lowest =
      _mm512_and_si512(shown, _mm512_sub_epi64(_mm512_setzero_si512(), shown));
  const __m512i blanks = _mm512_add_epi64(lowest, ones);
  head = _mm512_xor_si512(
      head, _mm512_and_si512(blanks, _mm512_set1_epi8('0' ^ ' ')));
  const __m512i sign_at =
      _mm512_xor_si512(blanks, _mm512_srli_epi64(blanks, 8));
  return _mm512_xor_si512(head,
                          _mm512_and_si512(_mm512_and_si512(sign_at, negative),
                                           _mm512_set1_epi8('-' ^ ' ')));
}

struct Parts8 {
  __m256i high;
  __m256i low;
  __m256i decimals;
};

GAUMO_AVX512 Parts8 split(__m512d u) {
  constexpr int kDown = _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC;
  const __m512d half = _mm512_set1_pd(0.5);
  const __m512d whole = _mm512_roundscale_pd(
      _mm512_mul_pd(_mm512_add_pd(u, half), _mm512_set1_pd(0.001)), kDown);
  const __m512d decimals =
      _mm512_sub_pd(u, _mm512_mul_pd(whole, _mm512_set1_pd(1000.0)));
  const __m512d high = _mm512_roundscale_pd(
      _mm512_mul_pd(_mm512_add_pd(whole, half), _mm512_set1_pd(0.0001)), kDown);
  const __m512d low =
      _mm512_sub_pd(whole, _mm512_mul_pd(high, _mm512_set1_pd(10000.0)));
  return {_mm512_cvtpd_epi32(high), _mm512_cvtpd_epi32(low),
          _mm512_cvtpd_epi32(decimals)};
}

/// The lanes of eight values whose thousandths fit, and the thousandths.
GAUMO_AVX512 __mmask8 thousandths(__m256 v, __m512d& u) {
  const __m512d a =
      _mm512_mul_pd(_mm512_abs_pd(_mm512_cvtps_pd(v)), _mm512_set1_pd(1000.0));
  u = _mm512_roundscale_pd(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  return _mm512_cmp_pd_mask(a, _mm512_set1_pd(9999999999.0), _CMP_LT_OQ);
}

GAUMO_AVX512 __m512i join(__m256i low, __m256i high) {
  return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

/// Where each 32-bit word of the 192 bytes of sixteen cells comes from:
/// cell c is words 3c and 3c + 1 (its head, from the unpacked heads) and
/// 3c + 2 (its tail).
struct SixteenPicks {
  /// Per 64 bytes: the word of the heads (0 to 15 from those of cells
  /// 0, 1, 4, 5, ..., 16 to 31 from those of cells 2, 3, 6, 7, ...).
  alignas(64) std::int32_t head[3][16];
  /// Per 64 bytes: the tail taken where its bit in `from_tail` is set.
  alignas(64) std::int32_t tail[3][16];
  std::uint16_t from_tail[3];
};

constexpr SixteenPicks make_sixteen_picks() {
  SixteenPicks t{};
  for (int w = 0; w < 48; ++w) {
    const int c = w / 3, part = w % 3, out = w / 16, lane = w % 16;
    if (part == 2) {
      t.tail[out][lane] = c;
      t.from_tail[out] = static_cast<std::uint16_t>(t.from_tail[out] | 1u << lane);
    } else {
      // Unpacking puts cells 4i and 4i + 1 (or 4i + 2 and 4i + 3) as
      // words 4i to 4i + 3, head by head.
      t.head[out][lane] =
          (c % 4 < 2 ? 0 : 16) + 4 * (c / 4) + 2 * (c % 2) + part;
    }
  }
  return t;
}
constexpr SixteenPicks kSixteenPicks = make_sixteen_picks();

GAUMO_AVX512 bool sixteen_cells(char* dst, const float* values) {
  const __m512 v = _mm512_loadu_ps(values);
  __m512d u0, u1;
  const __mmask8 fit0 = thousandths(_mm512_castps512_ps256(v), u0);
  const __mmask8 fit1 = thousandths(
      _mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(v), 1)), u1);
  if ((fit0 & fit1) != 0xFF)
    return false;
  const Parts8 p0 = split(u0);
  const Parts8 p1 = split(u1);
  const __m512i high = four_digits(join(p0.high, p1.high));
  const __m512i low = four_digits(join(p0.low, p1.low));
  const __m512i tail = _mm512_or_si512(
      _mm512_and_si512(four_digits(join(p0.decimals, p1.decimals)),
                       _mm512_set1_epi32(static_cast<int>(0xFFFFFF00u))),
      _mm512_set1_epi32('.'));
  const __m512i negative = _mm512_srai_epi32(_mm512_castps_si512(v), 31);
  const __m512i a = blank_and_sign(_mm512_unpacklo_epi32(high, low),
                                   _mm512_unpacklo_epi32(negative, negative));
  const __m512i b = blank_and_sign(_mm512_unpackhi_epi32(high, low),
                                   _mm512_unpackhi_epi32(negative, negative));
  for (int k = 0; k < 3; ++k) {
    const __m512i heads =
        _mm512_permutex2var_epi32(a, _mm512_load_si512(kSixteenPicks.head[k]), b);
    const __m512i out = _mm512_mask_permutexvar_epi32(
        heads, kSixteenPicks.from_tail[k],
        _mm512_load_si512(kSixteenPicks.tail[k]), tail);
    _mm512_storeu_si512(dst + 64 * k, out);
  }
  return true;
}

[[GAUMO_AVX512_TARGET]] void format_cells_avx512(char* dst,
                                                 const float* values,
                                                 std::size_t n) {
  std::size_t k = 0;
  for (; n - k >= 16; k += 16) {
    if (!sixteen_cells(dst + 12 * k, values + k))
      format_cells(dst + 12 * k, values + k, 16);
  }
  // Fewer than sixteen left: eight at a time, then one by one.
  format_cells_avx2(dst + 12 * k, values + k, n - k);
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#undef GAUMO_AVX2
#undef GAUMO_AVX2_TARGET
#undef GAUMO_AVX512
#undef GAUMO_AVX512_TARGET

#endif  // GAUMO_X86_TARGETS

}  // namespace

bool has_cells_path(CellsPath path) {
  switch (path) {
    case CellsPath::kOneByOne:
      return true;
#if GAUMO_X86_TARGETS
    case CellsPath::kAvx2:
      return __builtin_cpu_supports("avx2");
    case CellsPath::kAvx512:
      return __builtin_cpu_supports("avx512f") &&
             __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512dq");
#else
    case CellsPath::kAvx2:
    case CellsPath::kAvx512:
      return false;
#endif
  }
  return false;
}

void format_f12_3_cells_by(CellsPath path, char* dst, const float* values,
                           std::size_t n) {
  switch (path) {
#if GAUMO_X86_TARGETS
    case CellsPath::kAvx512:
      format_cells_avx512(dst, values, n);
      return;
    case CellsPath::kAvx2:
      format_cells_avx2(dst, values, n);
      return;
#endif
    default:
      format_cells(dst, values, n);
      return;
  }
}

void format_f12_3_cells(char* dst, const float* values, std::size_t n) {
  static const CellsPath best = has_cells_path(CellsPath::kAvx512)
                                    ? CellsPath::kAvx512
                                : has_cells_path(CellsPath::kAvx2)
                                    ? CellsPath::kAvx2
                                    : CellsPath::kOneByOne;
  format_f12_3_cells_by(best, dst, values, n);
}

}  // namespace gaumo
