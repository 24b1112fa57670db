#include "flow/record_fast_path.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "text/number_parse.h"

namespace gaumo {
namespace {

// How the plain form sees a character: part of a value, a separator (the
// comma, and the character the reader turns into one), or anything that
// gives a field a meaning the plain form does not have: blanks and tabs
// separate, quotes start a quoted text, "*" may make a repeat and "/" ends
// the read.
enum CharClass : unsigned char { kValue, kComma, kOther };

constexpr std::array<CharClass, 256> make_classes(char replaced) {
  std::array<CharClass, 256> t{};
  for (auto& v : t)
    v = kValue;
  for (unsigned char c : {' ', '\t', '"', '\'', '*', '/'})
    t[c] = kOther;
  t[static_cast<unsigned char>(',')] = kComma;
  t[static_cast<unsigned char>(replaced)] = kComma;
  return t;
}
constexpr std::array<CharClass, 256> kHistoricalClasses = make_classes('/');
constexpr std::array<CharClass, 256> kProvisionalClasses = make_classes('-');

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

constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};

bool is_digit(char c) { return static_cast<unsigned>(c - '0') < 10; }

/// Scans [digits] [. [digits]] from p, leaving p after it, into `out`.
/// False when there is no digit or more than seven: seven digits keep the
/// mantissa below 2^24 and every power of ten used exact, so one float
/// division rounds correctly.
bool scan_short_decimal(const char*& p, const char* e, float& out) {
  std::int32_t mantissa = 0;
  int digits = 0;
  int decimals = 0;
  // The loops stop at eight digits, before the mantissa could overflow.
  while (p < e && is_digit(*p) && digits < 8) {
    mantissa = mantissa * 10 + (*p++ - '0');
    ++digits;
  }
  if (p < e && *p == '.') {
    ++p;
    while (p < e && is_digit(*p) && digits < 8) {
      mantissa = mantissa * 10 + (*p++ - '0');
      ++digits;
      ++decimals;
    }
  }
  if (digits == 0 || digits > 7)
    return false;
  out = static_cast<float>(mantissa) / kPow10[decimals];
  return true;
}

}  // namespace

bool parse_short_decimal(std::string_view t, float& out) {
  const char* p = t.data();
  const char* e = p + t.size();
  bool neg = false;
  if (p < e && (*p == '-' || *p == '+'))
    neg = *p++ == '-';
  float v = 0.0f;
  if (!scan_short_decimal(p, e, v) || p != e)
    return false;
  out = neg ? -v : v;
  return true;
}

bool is_plain_identifier(const Ident& id) {
  for (char c : id.c) {
    if (kHistoricalClasses[static_cast<unsigned char>(c)] != kValue)
      return false;
  }
  return true;
}

bool parse_common_historical(std::string_view line, RecordFields& f) {
  const char* p = line.data() + 8;
  const char* e = line.data() + line.size();
  const char* second = p;
  while (p < e &&
         kHistoricalClasses[static_cast<unsigned char>(*p)] == kValue) {
    ++p;
  }
  const auto second_len = static_cast<std::size_t>(p - second);
  // The second field, then YYYY/MM/DD and a comma: 12 characters.
  if (second_len == 0 || e - p < 12 || *p != ',')
    return false;
  const char* d = p + 1;
  if (!(is_digit(d[0]) && is_digit(d[1]) && is_digit(d[2]) && is_digit(d[3]) &&
        d[4] == '/' && is_digit(d[5]) && is_digit(d[6]) && d[7] == '/' &&
        is_digit(d[8]) && is_digit(d[9]) && d[10] == ',')) {
    return false;
  }
  p = d + 11;
  float flow = f.flow;  // an empty value between two commas keeps it
  if (!(p < e && *p == ',') &&
      (!scan_short_decimal(p, e, flow) || (p < e && *p != ','))) {
    return false;
  }
  std::memcpy(f.ident.data(), line.data(), Ident::size());
  f.second.assign(std::string_view(second, second_len));
  f.year = static_cast<std::int16_t>((d[0] - '0') * 1000 + (d[1] - '0') * 100 +
                                     (d[2] - '0') * 10 + (d[3] - '0'));
  f.month = static_cast<std::int16_t>((d[5] - '0') * 10 + (d[6] - '0'));
  f.day = static_cast<std::int16_t>((d[8] - '0') * 10 + (d[9] - '0'));
  f.flow = flow;
  return true;
}

bool parse_plain_record(std::string_view line, RecordKind kind,
                        RecordFields& f) {
  const bool historical = kind == RecordKind::kHistorical;
  const auto& classes = historical ? kHistoricalClasses : kProvisionalClasses;
  const std::size_t fields = historical ? 6 : 5;
  std::string_view field[6];
  const char* p = line.data();
  const char* e = p + line.size();
  for (std::size_t k = 0; k < fields; ++k) {
    const char* start = p;
    CharClass c = kComma;
    while (p < e && (c = classes[static_cast<unsigned char>(*p)]) == kValue) {
      ++p;
    }
    if (p < e && c == kOther)
      return false;
    field[k] = std::string_view(start, static_cast<std::size_t>(p - start));
    if (k + 1 < fields) {
      // An empty first field, or a line ending right after a comma, means
      // more than the plain form: leave it to the free-form reader.
      if (p == e || (field[k].empty() && k == 0))
        return false;
      ++p;
      if (p == e)
        return false;
    }
  }
  RecordFields r = f;
  std::size_t k = 0;
  // An empty field leaves its target as it was.
  if (!field[k].empty())
    r.ident.assign(field[k]);
  ++k;
  if (historical) {
    if (!field[k].empty())
      r.second.assign(field[k]);
    ++k;
  }
  std::int16_t* date[] = {&r.year, &r.month, &r.day};
  for (std::int16_t* d : date) {
    if (!field[k].empty() && !parse_short_int16(field[k], *d))
      return false;
    ++k;
  }
  if (!field[k].empty() && !parse_short_decimal(field[k], r.flow)) {
    const RealParse real = parse_real(field[k]);
    if (real.error != NumberError::kNone)
      return false;
    r.flow = real.value;
  }
  f = r;
  return true;
}

}  // namespace gaumo
