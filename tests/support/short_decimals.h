#pragma once
// Random short decimals as the station files hold them, for testing the
// record path's scanners against the correctly rounded conversion.

#include <cstddef>
#include <random>
#include <string>

namespace gaumo {

/// A value of 1 to 7 digits with 0 to all of them after the point (".5"
/// included), drawn from `rng`.
inline std::string random_short_decimal(std::mt19937& rng) {
  const int digits = 1 + static_cast<int>(rng() % 7);
  const int decimals =
      static_cast<int>(rng() % static_cast<unsigned>(digits + 1));
  std::string t = std::to_string(rng() % 10000000u + 10000000u);
  t = t.substr(1, static_cast<std::size_t>(digits));
  if (decimals > 0)
    t.insert(t.size() - static_cast<std::size_t>(decimals), 1, '.');
  return t;
}

}  // namespace gaumo
