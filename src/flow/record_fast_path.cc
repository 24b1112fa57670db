#include "flow/record_fast_path.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "flow/calendar.h"
#include "text/line_scanner.h"
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
  // A line end only ever meets the plain form when it scans a whole block.
  for (unsigned char c : {' ', '\t', '"', '\'', '*', '/', '\n'})
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
/// division rounds correctly. Inlined by force into the record loop, which
/// runs it for every record.
[[gnu::always_inline]] inline bool scan_short_decimal(const char*& p,
                                                      const char* e,
                                                      float& out) {
  // The loops stop after eight digits in all, before the mantissa could
  // overflow; a count of eight then fails.
  const char* const start = p;
  const char* limit = e - p > 8 ? p + 8 : e;
  std::int32_t mantissa = 0;
  while (p < limit && is_digit(*p)) mantissa = mantissa * 10 + (*p++ - '0');
  auto digits = static_cast<int>(p - start);
  int decimals = 0;
  if (p < e && *p == '.') {
    ++p;
    const char* const first = p;
    limit = e - p > 8 - digits ? p + (8 - digits) : e;
    while (p < limit && is_digit(*p)) mantissa = mantissa * 10 + (*p++ - '0');
    decimals = static_cast<int>(p - first);
    digits += decimals;
  }
  if (digits == 0 || digits > 7) return false;
  out = static_cast<float>(mantissa) / kPow10[decimals];
  return true;
}

/// Whether the 11 bytes at d are "YYYY/MM/DD,".
[[gnu::always_inline]] inline bool is_date_field(const char* d) {
  if constexpr (std::endian::native == std::endian::little) {
    // "YYYY/MM/" and "/DD," in two loads, without a branch per byte: a
    // digit, 0x30 to 0x39, has the high half 3 both before and after 6 is
    // added to it. A byte that carries into the next fails itself.
    std::uint64_t a = 0;
    std::memcpy(&a, d, 8);
    std::uint32_t b = 0;
    std::memcpy(&b, d + 7, 4);
    constexpr std::uint64_t kHighA = 0x00F0F000F0F0F0F0u;
    constexpr std::uint64_t kThreeA = 0x0030300030303030u;
    constexpr std::uint32_t kHighB = 0x00F0F000u;
    constexpr std::uint32_t kThreeB = 0x00303000u;
    const bool digits = ((a & kHighA) == kThreeA) &
                        (((a + 0x0606060606060606u) & kHighA) == kThreeA) &
                        ((b & kHighB) == kThreeB) &
                        (((b + 0x00060600u) & kHighB) == kThreeB);
    const bool marks = ((a & 0xFF0000FF00000000u) == 0x2F00002F00000000u) &
                       ((b & 0xFF0000FFu) == 0x2C00002Fu);
    return digits & marks;
  } else {
    return is_digit(d[0]) && is_digit(d[1]) && is_digit(d[2]) &&
           is_digit(d[3]) && d[4] == '/' && is_digit(d[5]) && is_digit(d[6]) &&
           d[7] == '/' && is_digit(d[8]) && is_digit(d[9]) && d[10] == ',';
  }
}

/// The fields after "<id>," of the commonest historical record.
struct CommonRecord {
  std::string_view second;
  std::int16_t year = 0;
  std::int16_t month = 0;
  std::int16_t day = 0;
  float flow = kMissing;  ///< left as it was when the value is empty
};

/// Scans "<text>,YYYY/MM/DD,<value>" from p, reading nothing at or past e,
/// and returns where the value ends, or nullptr (with `r` partly written)
/// when the text is not of that form. A line end in the text is not of it,
/// so a whole block of lines may be scanned. Inlined by force into the
/// record loop, which calls it for every record.
[[gnu::always_inline]] inline const char* scan_common_historical(
    const char* p, const char* e, CommonRecord& r) {
  const char* second = p;
  while (p < e &&
         kHistoricalClasses[static_cast<unsigned char>(*p)] == kValue) {
    ++p;
  }
  const auto second_len = static_cast<std::size_t>(p - second);
  // The second field, then YYYY/MM/DD and a comma: 12 characters.
  if (second_len == 0 || e - p < 12 || *p != ',') return nullptr;
  const char* d = p + 1;
  if (!is_date_field(d)) return nullptr;
  p = d + 11;
  // An empty value between two commas keeps what r.flow holds; a record
  // ending right after the date's comma is more than the plain form.
  if (!(p < e && *p == ',') && !scan_short_decimal(p, e, r.flow)) {
    return nullptr;
  }
  r.second = std::string_view(second, second_len);
  r.year = static_cast<std::int16_t>((d[0] - '0') * 1000 + (d[1] - '0') * 100 +
                                     (d[2] - '0') * 10 + (d[3] - '0'));
  r.month = static_cast<std::int16_t>((d[5] - '0') * 10 + (d[6] - '0'));
  r.day = static_cast<std::int16_t>((d[8] - '0') * 10 + (d[9] - '0'));
  return p;
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
  const char* e = line.data() + line.size();
  CommonRecord r;
  r.flow = f.flow;
  const char* p = scan_common_historical(line.data() + 8, e, r);
  if (p == nullptr || (p < e && *p != ',')) return false;
  std::memcpy(f.ident.data(), line.data(), Ident::size());
  f.second.assign(r.second);
  f.year = r.year;
  f.month = r.month;
  f.day = r.day;
  f.flow = r.flow;
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

void take_common_records(LineScanner& scanner, const Ident& idsta,
                         std::int32_t i, RecordSink& sink) {
  const std::string_view block = scanner.buffered();
  const char* p = block.data();
  const char* const end = p + block.size();
  char key_text[8];
  std::memcpy(key_text, idsta.c.data(), 7);
  key_text[7] = ',';
  std::uint64_t key = 0;
  std::memcpy(&key, key_text, 8);
  const std::int32_t first_year = sink.opts.start_year;
  const std::int32_t last_year = sink.opts.end_year;
  float* const days = sink.table.days(i, 1);
  const char* last = nullptr;  // the last record taken
  const char* last_end = nullptr;
  long lines = 0;
  while (end - p > 8) {
    std::uint64_t head = 0;
    std::memcpy(&head, p, 8);
    if (head != key) break;
    CommonRecord r;
    const char* q = scan_common_historical(p + 8, end, r);
    if (q == nullptr || q == end) break;
    // The record ends at its line end, before a CR right in front of it.
    const char* nl = q;
    const char* line_end = q;
    if (*q == ',') {
      // What follows is never read; it is usually a short flag.
      nl = q + 1;
      while (nl < end && nl < q + 16 && *nl != '\n') ++nl;
      if (nl < end && *nl != '\n') {
        nl = static_cast<const char*>(
            std::memchr(nl, '\n', static_cast<std::size_t>(end - nl)));
      }
      if (nl == nullptr || nl == end) break;
      line_end = nl[-1] == '\r' ? nl - 1 : nl;
    } else if (*q == '\r' && q + 1 < end && q[1] == '\n') {
      nl = q + 1;
    } else if (*q != '\n') {
      break;
    }
    if (line_end - p > static_cast<std::ptrdiff_t>(kRecordLength)) break;
    if (r.year >= first_year && r.year <= last_year) {
      if (r.month < 1 || r.month > 12) break;
      const std::int32_t t = day_of_year(r.year, r.month, r.day);
      if (t < 1 || t > kDaySlots) break;
      days[static_cast<std::size_t>(r.year - first_year) * kDaySlots +
           static_cast<std::size_t>(t - 1)] = r.flow;
    }
    last = p;
    last_end = line_end;
    p = nl + 1;
    ++lines;
  }
  if (last == nullptr) return;
  RecordFields& f = sink.fields;
  f.flow = kMissing;
  parse_common_historical(
      std::string_view(last, static_cast<std::size_t>(last_end - last)), f);
  scanner.skip(static_cast<std::size_t>(p - block.data()), lines);
}

}  // namespace gaumo
