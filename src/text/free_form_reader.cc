#include "text/free_form_reader.h"

#include <algorithm>
#include <limits>

#include "text/fixed_text.h"
#include "text/number_parse.h"

namespace gaumo {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_separator(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_quote(char c) { return c == '\'' || c == '"'; }

/// One value as it stands in the line: an unquoted word, or the raw text of
/// a quoted value including its opening quote (doubled quotes not yet undone).
struct Value {
  std::string_view raw;
  bool quoted = false;
  bool null = false;
};

/// Scans the value starting at p; leaves p after the value and after any
/// characters that follow a closing quote up to the next separator.
Value scan_value(const char*& p, const char* e) {
  Value v;
  const char* start = p;
  if (is_quote(*p)) {
    const char q = *p++;
    while (p < e) {
      if (*p == q) {
        if (p + 1 < e && p[1] == q) {
          p += 2;
          continue;
        }
        ++p;
        break;
      }
      ++p;
    }
    v.raw = std::string_view(start, static_cast<std::size_t>(p - start));
    v.quoted = true;
    while (p < e && !is_separator(*p))
      ++p;  // text after a closing quote
    return v;
  }
  while (p < e && !is_separator(*p))
    ++p;
  v.raw = std::string_view(start, static_cast<std::size_t>(p - start));
  return v;
}

/// Writes a quoted value into a text target, undoing doubled quotes.
void assign_quoted(char* dst, std::size_t n, std::string_view raw) {
  const char q = raw[0];
  std::size_t out = 0;
  std::size_t i = 1;
  while (i < raw.size() && out < n) {
    if (raw[i] == q) {
      if (i + 1 < raw.size() && raw[i + 1] == q) {
        dst[out++] = q;
        i += 2;
        continue;
      }
      break;  // closing quote
    }
    dst[out++] = raw[i++];
  }
  std::fill(dst + out, dst + n, ' ');
}

ReadStatus to_status(NumberError e) {
  return e == NumberError::kOutOfRange ? ReadStatus::kOutOfRange
                                       : ReadStatus::kNotANumber;
}

/// Gives `value` to `t`; returns kOk or the error of a number target.
ReadStatus assign(const Target& t, const Value& value) {
  switch (t.kind) {
  case TargetKind::kText:
    if (value.quoted) {
      assign_quoted(static_cast<char*>(t.ptr), t.length, value.raw);
    } else {
      assign_fixed(static_cast<char*>(t.ptr), t.length, value.raw);
    }
    return ReadStatus::kOk;
  case TargetKind::kInt16:
  case TargetKind::kInt32: {
    if (value.quoted)
      return ReadStatus::kNotANumber;
    const bool is16 = t.kind == TargetKind::kInt16;
    const std::int64_t lo = is16 ? std::numeric_limits<std::int16_t>::min()
                                 : std::numeric_limits<std::int32_t>::min();
    const std::int64_t hi = is16 ? std::numeric_limits<std::int16_t>::max()
                                 : std::numeric_limits<std::int32_t>::max();
    const IntParse r = parse_integer(value.raw, lo, hi);
    if (r.error != NumberError::kNone)
      return to_status(r.error);
    if (is16) {
      *static_cast<std::int16_t*>(t.ptr) = static_cast<std::int16_t>(r.value);
    } else {
      *static_cast<std::int32_t*>(t.ptr) = static_cast<std::int32_t>(r.value);
    }
    return ReadStatus::kOk;
  }
  case TargetKind::kReal32: {
    if (value.quoted)
      return ReadStatus::kNotANumber;
    const RealParse r = parse_real(value.raw);
    if (r.error != NumberError::kNone)
      return to_status(r.error);
    *static_cast<float*>(t.ptr) = r.value;
    return ReadStatus::kOk;
  }
  }
  return ReadStatus::kOk;
}

/// Recognises "r*" at p with r digits only, 1 to 2147483647.
bool scan_repeat(const char* p, const char* e, std::uint64_t& count,
                 const char*& after) {
  const char* q = p;
  while (q < e && *q >= '0' && *q <= '9')
    ++q;
  if (q == p || q == e || *q != '*')
    return false;
  const IntParse r =
      parse_integer(std::string_view(p, static_cast<std::size_t>(q - p)), 1,
                    std::numeric_limits<std::int32_t>::max());
  if (r.error != NumberError::kNone)
    return false;
  count = static_cast<std::uint64_t>(r.value);
  after = q + 1;
  return true;
}

constexpr std::size_t kMaxBadText = 80;

}  // namespace

ReadResult read_values(std::string_view line, LineSource* more,
                       std::span<const Target> targets) {
  ReadResult result;
  const char* p = line.data();
  const char* e = p + line.size();
  // A comma met now gives an empty value: the last separator held a comma,
  // or nothing but blanks and blank lines has come since the read began.
  bool pending_comma = true;
  std::uint64_t repeat_left = 0;
  Value repeat_value;

  auto fail = [&](ReadStatus s, std::size_t index, const Value& v) {
    result.status = s;
    result.target_index = index;
    result.bad_text.assign(v.raw.substr(0, kMaxBadText));
    return result;
  };
  auto give = [&](std::size_t index, const Value& v) -> ReadStatus {
    if (v.null)
      return ReadStatus::kOk;
    const ReadStatus s = assign(targets[index], v);
    if (s == ReadStatus::kOk)
      ++result.assigned;
    return s;
  };
  auto skip_separator = [&] {
    while (p < e && is_blank(*p))
      ++p;
    pending_comma = p < e && *p == ',';
    if (pending_comma)
      ++p;
  };

  std::size_t ti = 0;
  while (ti < targets.size()) {
    if (repeat_left > 0) {
      const ReadStatus s = give(ti, repeat_value);
      if (s != ReadStatus::kOk)
        return fail(s, ti, repeat_value);
      --repeat_left;
      ++ti;
      continue;
    }
    while (p < e && is_blank(*p))
      ++p;
    if (p == e) {
      // The line end acts as a blank; the read goes on with the next line.
      if (more == nullptr || !more->next_line(line)) {
        result.status = ReadStatus::kEndOfInput;
        result.target_index = ti;
        return result;
      }
      p = line.data();
      e = p + line.size();
      // pending_comma is kept: the line end is only a blank, so a comma
      // that ended the line and one first on this line give an empty value,
      // and blank lines before the first value do not end the read's start.
      continue;
    }
    const char c = *p;
    if (c == ',') {
      ++p;
      if (pending_comma)
        ++ti;  // an empty value
      pending_comma = true;
      continue;
    }
    if (c == '/')
      return result;
    std::uint64_t count = 0;
    const char* after = nullptr;
    if (scan_repeat(p, e, count, after)) {
      p = after;
      repeat_value = Value{};
      if (p == e || is_separator(*p)) {
        repeat_value.null = true;
      } else {
        repeat_value = scan_value(p, e);
      }
      repeat_left = count;
      skip_separator();
      continue;
    }
    const Value v = scan_value(p, e);
    const ReadStatus s = give(ti, v);
    if (s != ReadStatus::kOk)
      return fail(s, ti, v);
    ++ti;
    skip_separator();
  }
  return result;
}

}  // namespace gaumo
