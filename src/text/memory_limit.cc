#include "text/memory_limit.h"

#include <unistd.h>

#include <limits>

namespace gaumo {

std::optional<std::uint64_t> checked_bytes(std::uint64_t count,
                                           std::uint64_t element_size) {
  if (element_size != 0 &&
      count > std::numeric_limits<std::uint64_t>::max() / element_size) {
    return std::nullopt;
  }
  return count * element_size;
}

bool fits_in_memory(std::uint64_t bytes) {
  if (bytes > std::numeric_limits<std::size_t>::max()) return false;
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return true;
  const auto phys = checked_bytes(static_cast<std::uint64_t>(pages),
                                  static_cast<std::uint64_t>(page_size));
  return !phys || bytes <= *phys;
}

}  // namespace gaumo
