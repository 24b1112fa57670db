#pragma once
// Free-format lines of the console and the information file: one leading
// blank, then the items as they stand; a 32-bit integer takes a
// right-aligned field of 12 characters. An empty line holds no characters.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace gaumo {

constexpr int kFreeFormatIntWidth = 12;

/// One item of a free-format line: a text at its full length, or an integer.
struct Item {
  Item(std::string_view t) : text(t) {}    // NOLINT: items read like a list
  Item(const char* t) : text(t) {}         // NOLINT
  Item(const std::string& t) : text(t) {}  // NOLINT
  Item(std::int32_t v) : is_int(true), number(v) {}  // NOLINT
  std::string_view text;
  bool is_int = false;
  std::int32_t number = 0;
};

/// The line (with its newline) made of `items`; no items give "\n".
std::string free_line(std::initializer_list<Item> items);

}  // namespace gaumo
