#include "text/number_parse.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace gaumo {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

IntParse parse_integer(std::string_view text, std::int64_t lo,
                       std::int64_t hi) {
  IntParse out;
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) {
    out.error = NumberError::kNotANumber;
    return out;
  }
  for (std::size_t k = i; k < text.size(); ++k) {
    if (!is_digit(text[k])) {
      out.error = NumberError::kNotANumber;
      return out;
    }
  }
  // Leading zeros must not push a small value out of from_chars' reach.
  while (i + 1 < text.size() && text[i] == '0')
    ++i;
  std::uint64_t magnitude = 0;
  auto r =
      std::from_chars(text.data() + i, text.data() + text.size(), magnitude);
  if (r.ec != std::errc() || magnitude > (std::uint64_t{1} << 62)) {
    out.error = NumberError::kOutOfRange;
    return out;
  }
  const auto v = negative ? -static_cast<std::int64_t>(magnitude)
                          : static_cast<std::int64_t>(magnitude);
  if (v < lo || v > hi) {
    out.error = NumberError::kOutOfRange;
    return out;
  }
  out.value = v;
  return out;
}

bool is_real_syntax(std::string_view t) {
  std::size_t i = 0;
  const std::size_t n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-'))
    ++i;
  std::size_t int_digits = 0;
  while (i < n && is_digit(t[i]))
    ++i, ++int_digits;
  std::size_t frac_digits = 0;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && is_digit(t[i]))
      ++i, ++frac_digits;
  }
  if (int_digits == 0 && frac_digits == 0)
    return false;
  if (i < n && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-'))
      ++i;
    std::size_t exp_digits = 0;
    while (i < n && is_digit(t[i]))
      ++i, ++exp_digits;
    if (exp_digits == 0)
      return false;
  }
  return i == n;
}

RealParse parse_real(std::string_view text) {
  RealParse out;
  if (!is_real_syntax(text)) {
    out.error = NumberError::kNotANumber;
    return out;
  }
  // from_chars takes neither a leading '+' nor a D exponent.
  constexpr std::size_t kSmall = 64;
  char small[kSmall + 1] = {};
  std::string large;
  char* buf = small;
  if (text.size() > kSmall) {
    large.resize(text.size());
    buf = large.data();
  }
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (i == 0 && c == '+')
      continue;
    if (c == 'D' || c == 'd')
      c = 'e';
    buf[n++] = c;
  }
  float v = 0.0f;
  auto r = std::from_chars(buf, buf + n, v);
  if (r.ec == std::errc::result_out_of_range) {
    // from_chars reports underflow as out of range too; strtof (C locale,
    // correctly rounded) tells the two apart and gives the subnormal.
    std::string copy(buf, n);
    errno = 0;
    v = std::strtof(copy.c_str(), nullptr);
    if (std::isinf(v)) {
      out.error = NumberError::kOutOfRange;
      return out;
    }
  } else if (r.ec != std::errc() || r.ptr != buf + n) {
    out.error = NumberError::kNotANumber;
    return out;
  }
  out.value = v;
  return out;
}

}  // namespace gaumo
