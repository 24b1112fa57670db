#include "text/fixed_fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace gaumo {
namespace {

void put_stars(std::string& out, int width) {
  if (width > 0) out.append(static_cast<std::size_t>(width), '*');
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
  if (n > 0) out.append(static_cast<std::size_t>(n), ' ');
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
  if (decimals == 0) buf[n++] = '.';
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
  if (std::signbit(v)) s += '-';
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
      if (t[i] != '.') mant += t[i];
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
  if (width <= 0) return;
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) {
    out.append(text.substr(0, w));
    return;
  }
  out.append(w - text.size(), ' ');
  out.append(text);
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536"
    "37383940414243444546474849505152535455565758596061626364656667686970717273"
    "7475767778798081828384858687888990919293949596979899";

void format_f12_3(char* dst, float v) {
  if (v == -1.0f) {  // the commonest value of all: a day without data
    std::memcpy(dst, "      -1.000", 12);
    return;
  }
  const double scaled = static_cast<double>(v) * 1000.0;  // exact in a double
  const double a = std::fabs(scaled);
  // Below 9999999999 thousandths the digits always fit in 12 columns with
  // the sign; anything else takes the general path.
  if (!(a < 9999999999.0)) {
    std::string general;
    put_fixed(general, v, 12, 3);
    std::memcpy(dst, general.data(), 12);
    return;
  }
  // Adding and taking away 2^52 rounds a double below 2^52 to an integer,
  // ties to even, in the default rounding mode: the rounding of put_fixed.
  constexpr double kTwo52 = 4503599627370496.0;
  // Without fast-math the compiler keeps both operations.
  auto units = static_cast<std::uint64_t>((a + kTwo52) - kTwo52);
  char* p = dst + 12;
  std::uint64_t frac = units % 1000;
  units /= 1000;
  *--p = static_cast<char>('0' + frac % 10);
  frac /= 10;
  *--p = static_cast<char>('0' + frac % 10);
  *--p = static_cast<char>('0' + frac / 10);
  *--p = '.';
  while (units >= 100) {
    const auto two = static_cast<std::size_t>(units % 100) * 2;
    units /= 100;
    *--p = kDigitPairs[two + 1];
    *--p = kDigitPairs[two];
  }
  if (units >= 10) {
    const auto two = static_cast<std::size_t>(units) * 2;
    *--p = kDigitPairs[two + 1];
    *--p = kDigitPairs[two];
  } else {
    *--p = static_cast<char>('0' + units);
  }
  if (std::signbit(v)) *--p = '-';
  while (p > dst) *--p = ' ';
}

void put_f12_3(std::string& out, float v) {
  char field[12];
  format_f12_3(field, v);
  out.append(field, 12);
}

}  // namespace gaumo
