#pragma once
// The program's number grammar, shared by every free-form read:
//   real:    [sign] digits [. [digits]] | [sign] . digits,
//            then optionally E, e, D or d with an optional sign and digits;
//   integer: [sign] digits.
// "NaN", "Inf" and hexadecimal forms are not numbers.

#include <cstdint>
#include <optional>
#include <string_view>

namespace gaumo {

enum class NumberError { kNone, kNotANumber, kOutOfRange };

struct IntParse {
  std::int64_t value = 0;
  NumberError error = NumberError::kNone;
};
struct RealParse {
  float value = 0.0f;
  NumberError error = NumberError::kNone;
};

/// Parses the whole of `text` as an integer within [lo, hi].
IntParse parse_integer(std::string_view text, std::int64_t lo, std::int64_t hi);

/// Parses the whole of `text` as a 32-bit float, rounded once from the
/// decimal text. Beyond the largest finite float is out of range; a value
/// too small rounds to 0 or a subnormal.
RealParse parse_real(std::string_view text);

/// True when `text` follows the real-number grammar above.
bool is_real_syntax(std::string_view text);

}  // namespace gaumo
