#include "flow/plain_record.h"

#include "text/number_parse.h"
#include "text/short_decimal.h"

namespace gaumo {

bool is_plain_identifier(const Ident& id) {
  for (char c : id.c) {
    if (kHistoricalClasses[static_cast<unsigned char>(c)] != kValue)
      return false;
  }
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
