#include "fuzz_support.h"

#include <cstring>

namespace gaumo::fuzz {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    if (nl == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, nl));
    text.remove_prefix(nl + 1);
  }
  return lines;
}

std::vector<std::string_view> split_sections(std::string_view text,
                                             std::string_view sep) {
  std::vector<std::string_view> parts;
  for (;;) {
    const void* hit =
        ::memmem(text.data(), text.size(), sep.data(), sep.size());
    if (hit == nullptr) {
      parts.push_back(text);
      return parts;
    }
    const auto at =
        static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + sep.size());
  }
}

}  // namespace gaumo::fuzz
