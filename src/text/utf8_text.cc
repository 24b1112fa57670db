#include "text/utf8_text.h"

#include <cstddef>
#include <cstdint>

namespace gaumo {
namespace {

/// The length of the well-formed UTF-8 sequence at s[i] of two or more
/// bytes, or 0 when there is none (overlong forms, surrogates and code
/// points past U+10FFFF count as none).
std::size_t sequence_length(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) {
    return static_cast<std::uint8_t>(s[i + k]);
  };
  const std::uint8_t lead = b(0);
  std::size_t n = 0;
  std::uint8_t lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0)
      lo = 0xA0;
    if (lead == 0xED)
      hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0)
      lo = 0x90;
    if (lead == 0xF4)
      hi = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - i < n)
    return 0;
  if (b(1) < lo || b(1) > hi)
    return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if (b(k) < 0x80 || b(k) > 0xBF)
      return 0;
  }
  return n;
}

}  // namespace

std::string to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<std::uint8_t>(bytes[i]);
    if (c < 0x80) {
      out += (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
      ++i;
      continue;
    }
    if (const std::size_t n = sequence_length(bytes, i); n != 0) {
      out.append(bytes.substr(i, n));
      i += n;
      continue;
    }
    if (c < 0xA0) {
      out += ' ';  // the C1 controls of Latin-1
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    ++i;
  }
  return out;
}

}  // namespace gaumo
