#include "text/free_format_line.h"

#include "text/fixed_fields.h"

namespace gaumo {

std::string free_line(std::initializer_list<Item> items) {
  std::string s;
  if (items.size() == 0) {
    s.push_back('\n');
    return s;
  }
  s.push_back(' ');
  for (const Item& it : items) {
    if (it.is_int) {
      put_int(s, it.number, kFreeFormatIntWidth);
    } else {
      s.append(it.text);
    }
  }
  s += '\n';
  return s;
}

}  // namespace gaumo
