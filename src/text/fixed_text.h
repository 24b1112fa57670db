#pragma once
// Fixed-length texts: a text of n characters always holds exactly n
// characters, blank-filled on the right or cut to its first n.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace gaumo {

/// Copies `src` into the n characters at `dst`, cutting or blank-filling.
inline void assign_fixed(char* dst, std::size_t n, std::string_view src) {
  const std::size_t k = std::min(n, src.size());
  std::copy_n(src.data(), k, dst);
  std::fill(dst + k, dst + n, ' ');
}

/// A blank-initialised text of exactly N characters.
template <std::size_t N>
struct FixedText {
  std::array<char, N> c;
  FixedText() { c.fill(' '); }
  explicit FixedText(std::string_view s) { assign(s); }
  void assign(std::string_view s) { assign_fixed(c.data(), N, s); }
  std::string_view view() const { return {c.data(), N}; }
  /// The first k characters (k <= N).
  std::string_view first(std::size_t k) const {
    return {c.data(), std::min(k, N)};
  }
  char* data() { return c.data(); }
  static constexpr std::size_t size() { return N; }
  friend bool operator==(const FixedText&, const FixedText&) = default;
};

/// The text without its trailing blanks (the name a file system is asked for).
inline std::string_view trim_right(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ')
    --n;
  return s.substr(0, n);
}

}  // namespace gaumo
