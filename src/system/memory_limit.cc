#include "system/memory_limit.h"

#include <limits>

#include "system/platform.h"

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
  if (bytes > std::numeric_limits<std::size_t>::max())
    return false;
  const auto phys = platform::physical_memory();
  if (phys && bytes > *phys)
    return false;
  // Each large array is written in full right after it is had, so what
  // counts is the memory still free now, after the arrays before it: a
  // request beyond it would get the run killed half way.
  // An eighth is kept back for the rest of the machine.
  const auto avail = platform::available_memory();
  return !avail || bytes <= *avail - *avail / 8;
}

}  // namespace gaumo
