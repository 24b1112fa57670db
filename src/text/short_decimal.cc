#include "text/short_decimal.h"

namespace gaumo {

bool parse_short_decimal(std::string_view t, float& out) {
  const char* p = t.data();
  const char* e = p + t.size();
  bool neg = false;
  if (p < e && (*p == '-' || *p == '+'))
    neg = *p++ == '-';
  const ShortDecimal v = scan_short_decimal(p, e);
  if (v.end != e)
    return false;
  out = neg ? -v.value : v.value;
  return true;
}

bool parse_short_int16(std::string_view t, std::int16_t& out) {
  std::size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+'))
    neg = t[i++] == '-';
  if (i == t.size() || t.size() - i > 9)
    return false;
  std::int32_t v = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c < '0' || c > '9')
      return false;
    v = v * 10 + (c - '0');
  }
  if (neg)
    v = -v;
  if (v < -32768 || v > 32767)
    return false;
  out = static_cast<std::int16_t>(v);
  return true;
}

}  // namespace gaumo
