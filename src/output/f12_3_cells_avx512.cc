// F12.3 cells sixteen at a time with AVX-512; picked at run time where
// the processor has it. The rest of a row, below sixteen cells, goes to
// the AVX2 file.

#include "output/f12_3_cells_paths.h"
#include "text/fixed_fields.h"

#if GAUMO_X86_TARGETS

namespace gaumo::cells {
namespace {

// Sixteen cells at a time: the steps of eight_cells on 512-bit vectors.
// GCC 12's AVX-512 headers hand "undefined" vectors to the builtins, which
// its own -Wmaybe-uninitialized then reports once they are inlined.
#if GAUMO_GCC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// Its mask intrinsics, unoptimised, pass __mmask8 on as char.
#pragma GCC diagnostic ignored "-Wsign-conversion"
#endif
#define GAUMO_AVX512_TARGET gnu::target("avx512f,avx512bw,avx512dq,tune=znver3")
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
      t.from_tail[out] =
          static_cast<std::uint16_t>(t.from_tail[out] | 1u << lane);
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
    const __m512i heads = _mm512_permutex2var_epi32(
        a, _mm512_load_si512(kSixteenPicks.head[k]), b);
    const __m512i out = _mm512_mask_permutexvar_epi32(
        heads, kSixteenPicks.from_tail[k],
        _mm512_load_si512(kSixteenPicks.tail[k]), tail);
    _mm512_storeu_si512(dst + 64 * k, out);
  }
  return true;
}

}  // namespace

[[GAUMO_AVX512_TARGET]] void format_cells_avx512(char* dst, const float* values,
                                                 std::size_t n) {
  std::size_t k = 0;
  for (; n - k >= 16; k += 16) {
    if (!sixteen_cells(dst + 12 * k, values + k))
      format_cells(dst + 12 * k, values + k, 16);
  }
  // Fewer than sixteen left: eight at a time, then one by one.
  format_cells_avx2(dst + 12 * k, values + k, n - k);
}

#if GAUMO_GCC
#pragma GCC diagnostic pop
#endif

}  // namespace gaumo::cells

#endif  // GAUMO_X86_TARGETS
