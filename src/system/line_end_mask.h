#pragma once
// Where the line ends are among 64 bytes, as one bit per byte: the block
// loops find a record's end from this mask rather than by reading the
// record, so that no record waits for the one before it.

#include <bit>
#include <cstdint>

#include "system/compiler.h"
#include "system/little_endian.h"

namespace gaumo {

/// The '\n' bytes among the 64 at c, bit k for byte k; eight bytes at a
/// time in plain integer arithmetic, on any machine.
inline std::uint64_t line_end_mask_portable(const char* c) {
  std::uint64_t bits = 0;
  for (int k = 0; k < 8; ++k) {
    const std::uint64_t z =
        load_little<std::uint64_t>(c + 8 * k) ^ 0x0A0A0A0A0A0A0A0Au;
    // The high bit of each byte that is zero, exactly (no carry crosses a
    // byte); then those eight bits gathered into one byte.
    const std::uint64_t zero =
        ~(((z & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | z) &
        0x8080808080808080u;
    bits |= ((zero >> 7) * 0x0102040810204080u >> 56) << (8 * k);
  }
  return bits;
}

/// The same mask, with SSE2 where the machine has it.
inline std::uint64_t line_end_mask(const char* c) {
#if GAUMO_SSE2
  const __m128i nl = _mm_set1_epi8('\n');
  std::uint64_t bits = 0;
  for (int k = 0; k < 4; ++k) {
    const __m128i v =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 16 * k));
    // The mask of 16 bytes has 16 bits: no widening beyond the unsigned.
    bits |= static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, nl))))
            << (16 * k);
  }
  return bits;
#else
  return line_end_mask_portable(c);
#endif
}

}  // namespace gaumo
