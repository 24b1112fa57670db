#include "flow/common_record.h"

#include <cstring>

namespace gaumo {

bool parse_common_historical(std::string_view line, RecordFields& f) {
  const char* e = line.data() + line.size();
  CommonRecord r;
  r.flow = f.flow;
  const char* p = scan_common_historical(line.data() + 8, e, e, r);
  if (p == nullptr || (p < e && *p != ','))
    return false;
  std::memcpy(f.ident.data(), line.data(), Ident::size());
  f.second.assign(r.second);
  f.year = r.year;
  f.month = r.month;
  f.day = r.day;
  f.flow = r.flow;
  return true;
}

}  // namespace gaumo
