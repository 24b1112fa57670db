#include "realtime/datamart_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace gaumo::realtime {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && blank(s.back()))
    s.remove_suffix(1);
  return s;
}

/// The n digits at `at` as a number; false when one is not a digit.
bool digits(std::string_view s, std::size_t at, std::size_t n,
            std::int32_t& out) {
  out = 0;
  for (std::size_t k = at; k < at + n; ++k) {
    if (!is_digit(s[k]))
      return false;
    out = out * 10 + (s[k] - '0');
  }
  return true;
}

bool is_leap(std::int32_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::int32_t days_in_month(std::int32_t y, std::int32_t m) {
  static constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30,
                                             31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

/// Days from 1970-01-01 to y-m-d of the proleptic Gregorian calendar.
std::int64_t days_from_civil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

/// The fields at positions `at` of a comma-separated line, stopping after
/// the last one wanted; returns how many fields were seen (at most
/// that last position + 1).
template <std::size_t N>
std::size_t pick_fields(std::string_view text, const std::size_t (&at)[N],
                        std::string_view (&out)[N], std::size_t want) {
  std::size_t n = 0;
  for (;;) {
    const std::size_t comma = text.find(',');
    for (std::size_t k = 0; k < N; ++k) {
      if (at[k] == n)
        out[k] = trim(text.substr(0, comma));
    }
    ++n;
    if (comma == std::string_view::npos || n >= want)
      return n;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

std::int64_t Stamp::instant() const {
  return days_from_civil(year, month, day) * 86400 + hour * 3600 + minute * 60 +
         second - std::int64_t{offset_minutes} * 60;
}

std::optional<Stamp> parse_stamp(std::string_view t) {
  // YYYY-MM-DDThh:mm:ss then Z or +hh:mm
  if (t.size() != 20 && t.size() != 25)
    return std::nullopt;
  if (t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
      t[16] != ':')
    return std::nullopt;
  Stamp s;
  if (!digits(t, 0, 4, s.year) || !digits(t, 5, 2, s.month) ||
      !digits(t, 8, 2, s.day) || !digits(t, 11, 2, s.hour) ||
      !digits(t, 14, 2, s.minute) || !digits(t, 17, 2, s.second))
    return std::nullopt;
  if (s.month < 1 || s.month > 12 || s.day < 1 ||
      s.day > days_in_month(s.year, s.month) || s.hour > 23 || s.minute > 59 ||
      s.second > 59)
    return std::nullopt;
  if (t.size() == 20) {
    if (t[19] != 'Z')
      return std::nullopt;
    return s;
  }
  std::int32_t oh = 0;
  std::int32_t om = 0;
  if ((t[19] != '+' && t[19] != '-') || t[22] != ':' || !digits(t, 20, 2, oh) ||
      !digits(t, 23, 2, om) || oh > 23 || om > 59)
    return std::nullopt;
  s.offset_minutes = (t[19] == '-' ? -1 : 1) * (oh * 60 + om);
  return s;
}

std::optional<double> parse_discharge(std::string_view t) {
  // The grammar is checked here: from_chars alone would also take "inf",
  // "nan" and the start of "0x10".
  std::size_t k = 0;
  const bool plus = !t.empty() && t[0] == '+';
  if (k < t.size() && (t[k] == '+' || t[k] == '-'))
    ++k;
  std::size_t mantissa_digits = 0;
  for (; k < t.size() && is_digit(t[k]); ++k)
    ++mantissa_digits;
  if (k < t.size() && t[k] == '.') {
    for (++k; k < t.size() && is_digit(t[k]); ++k)
      ++mantissa_digits;
  }
  if (mantissa_digits == 0)
    return std::nullopt;
  if (k < t.size() && (t[k] == 'e' || t[k] == 'E')) {
    ++k;
    if (k < t.size() && (t[k] == '+' || t[k] == '-'))
      ++k;
    std::size_t exponent_digits = 0;
    for (; k < t.size() && is_digit(t[k]); ++k)
      ++exponent_digits;
    if (exponent_digits == 0)
      return std::nullopt;
  }
  if (k != t.size())
    return std::nullopt;
  // from_chars takes no leading '+'; "+-1" cannot reach here.
  const char* first = t.data() + (plus ? 1 : 0);
  const char* last = t.data() + t.size();
  double v = 0.0;
  const auto r = std::from_chars(first, last, v);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v) ||
      std::fabs(v) > double{std::numeric_limits<float>::max()})
    return std::nullopt;
  return v;
}

void DatamartParser::line(std::string_view text, std::int64_t number) {
  if (!header_seen_) {
    header_seen_ = true;
    header(text, number);
    return;
  }
  if (!columns_ok_)
    return;
  if (text.size() > kMaxLine) {
    error(number, "line too long");
    return;
  }
  if (trim(text).empty())
    return;
  row(text, number);
}

void DatamartParser::header(std::string_view text, std::int64_t number) {
  if (text.size() > kMaxLine) {
    error(number, "header line too long");
    return;
  }
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  bool id = false;
  bool date = false;
  bool flow = false;
  std::size_t col = 0;
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view name = trim(text.substr(0, comma));
    if (!id && name == "ID") {
      id = true;
      id_col_ = col;
    } else if (!date && name == "Date") {
      date = true;
      date_col_ = col;
    } else if (!flow && name.substr(0, 9) == "Discharge") {
      flow = true;
      flow_col_ = col;
    }
    if (comma == std::string_view::npos)
      break;
    text.remove_prefix(comma + 1);
    ++col;
  }
  columns_ok_ = id && date && flow;
  if (columns_ok_)
    return;
  // One error for the line, naming every column it lacks.
  std::string missing;
  for (const auto& [found, name] :
       {std::pair{id, "ID"}, std::pair{date, "Date"},
        std::pair{flow, "Discharge..."}}) {
    if (found)
      continue;
    missing += missing.empty() ? "" : ", ";
    missing += name;
  }
  error(number, "header without the column(s) " + missing);
}

void DatamartParser::row(std::string_view text, std::int64_t number) {
  // Columns past the last one needed are never split off.
  const std::size_t at[3] = {id_col_, date_col_, flow_col_};
  std::string_view f[3];
  const std::size_t want = std::max({id_col_, date_col_, flow_col_}) + 1;
  const std::size_t n = pick_fields(text, at, f, want);
  if (id_col_ < n && f[0] != station_)
    return;
  if (n < want) {
    error(number, "too few fields");
    return;
  }
  const auto stamp = parse_stamp(f[1]);
  if (!stamp) {
    error(number, "bad timestamp");
    return;
  }
  if (f[2].empty())
    return;
  const auto q = parse_discharge(f[2]);
  if (!q) {
    error(number, "discharge is not a number");
    return;
  }
  out_.readings.push_back(Reading{stamp->instant(), stamp->year, stamp->month,
                                  stamp->day, stamp->hour, *q});
}

void DatamartParser::error(std::int64_t number, std::string reason) {
  ++out_.error_count;
  if (out_.errors.size() < kKeptRowErrors)
    out_.errors.push_back(RowError{number, std::move(reason)});
}

FileReadings parse_datamart(std::string_view bytes, std::string_view station) {
  DatamartParser parser(station);
  std::int64_t number = 0;
  while (!bytes.empty()) {
    const std::size_t nl = bytes.find('\n');
    std::string_view text = bytes.substr(0, nl);
    bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
    if (!text.empty() && text.back() == '\r')
      text.remove_suffix(1);
    parser.line(text, ++number);
  }
  return parser.take();
}

}  // namespace gaumo::realtime
