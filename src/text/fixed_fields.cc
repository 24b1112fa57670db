#include "text/fixed_fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace gaumo {
namespace {

void put_stars(std::string& out, int width) {
  if (width > 0)
    out.append(static_cast<std::size_t>(width), '*');
}

void put_right(std::string& out, std::string_view s, int width) {
  if (static_cast<int>(s.size()) > width) {
    put_stars(out, width);
    return;
  }
  out.append(static_cast<std::size_t>(width) - s.size(), ' ');
  out.append(s);
}

}  // namespace

void put_blanks(std::string& out, int n) {
  if (n > 0)
    out.append(static_cast<std::size_t>(n), ' ');
}

void put_int(std::string& out, std::int64_t v, int width) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  put_right(out, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)),
            width);
}

void put_fixed(std::string& out, double v, int width, int decimals) {
  if (!std::isfinite(v)) {
    put_stars(out, width);
    return;
  }
  // Exact binary value rounded half to even, as correctly rounded
  // conversion does; the sign is the stored sign, as printf writes it.
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::fixed,
                         decimals);
  if (r.ec != std::errc()) {
    put_stars(out, width);
    return;
  }
  std::size_t n = static_cast<std::size_t>(r.ptr - buf);
  if (decimals == 0)
    buf[n++] = '.';
  std::string_view s(buf, n);
  if (static_cast<int>(n) > width) {
    // The optional zero of "0.ddd" goes first when room runs out.
    const bool neg = s[0] == '-';
    const std::size_t z = neg ? 1 : 0;
    if (s.size() > z + 1 && s[z] == '0' && s[z + 1] == '.' && decimals > 0) {
      std::string cut(s.substr(0, z));
      cut.append(s.substr(z + 1));
      put_right(out, cut, width);
      return;
    }
  }
  put_right(out, s, width);
}

void put_exp(std::string& out, double v, int width, int digits) {
  if (!std::isfinite(v) || digits < 1) {
    put_stars(out, width);
    return;
  }
  std::string s;
  if (std::signbit(v))
    s += '-';
  const double a = std::fabs(v);
  std::string mant(static_cast<std::size_t>(digits), '0');
  int exponent = 0;
  if (a != 0.0) {
    // d.ddddde+x is the same rounding as 0.dddddE+(x+1). Not printf: the
    // Windows runtimes do not all round the exact binary value.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, a,
                                 std::chars_format::scientific, digits - 1);
    if (r.ec != std::errc()) {
      put_stars(out, width);
      return;
    }
    std::string_view t(buf, static_cast<std::size_t>(r.ptr - buf));
    const auto epos = t.find('e');
    mant.clear();
    for (std::size_t i = 0; i < epos; ++i) {
      if (t[i] != '.')
        mant += t[i];
    }
    std::from_chars(t.data() + epos + 1 + (t[epos + 1] == '+' ? 1 : 0),
                    t.data() + t.size(), exponent);
    exponent += 1;
  }
  s += "0.";
  s += mant;
  const int ae = exponent < 0 ? -exponent : exponent;
  char eb[16];
  if (ae <= 99) {
    std::snprintf(eb, sizeof eb, "E%c%02d", exponent < 0 ? '-' : '+', ae);
  } else {
    std::snprintf(eb, sizeof eb, "%c%03d", exponent < 0 ? '-' : '+', ae);
  }
  s += eb;
  put_right(out, s, width);
}

void put_text_right(std::string& out, std::string_view text, int width) {
  if (width <= 0)
    return;
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) {
    out.append(text.substr(0, w));
    return;
  }
  out.append(w - text.size(), ' ');
  out.append(text);
}

void format_f12_3_general(char* dst, float v) {
  std::string general;
  put_fixed(general, v, 12, 3);
  std::memcpy(dst, general.data(), 12);
}

void put_f12_3(std::string& out, float v) {
  char field[12];
  format_f12_3(field, v);
  out.append(field, 12);
}

}  // namespace gaumo
