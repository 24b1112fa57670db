#pragma once
// Reading several bytes of text as one number, first byte lowest, so that
// they can be tested all at once.

#include <bit>
#include <cstddef>
#include <cstring>

namespace gaumo {

/// The sizeof(U) bytes at p as a little-endian number, on any machine.
template <typename U>
inline U load_little(const char* p) {
  U v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    for (std::size_t k = sizeof v; k-- > 0;) {
      v = static_cast<U>(v << 8 | static_cast<unsigned char>(p[k]));
    }
  }
  return v;
}

}  // namespace gaumo
