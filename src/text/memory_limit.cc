#include "text/memory_limit.h"

#include <unistd.h>

#include <cstdio>
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

namespace {

/// The kernel's estimate of the memory that can be had without swapping,
/// or nothing where it does not say.
std::optional<std::uint64_t> available_memory() {
  std::FILE* f = std::fopen("/proc/meminfo", "r");
  if (f == nullptr) return std::nullopt;
  char line[256];
  std::optional<std::uint64_t> out;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    unsigned long long kib = 0;
    if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
      out = checked_bytes(kib, 1024);
      break;
    }
  }
  std::fclose(f);
  return out;
}

}  // namespace

bool fits_in_memory(std::uint64_t bytes) {
  if (bytes > std::numeric_limits<std::size_t>::max()) return false;
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && page_size > 0) {
    const auto phys = checked_bytes(static_cast<std::uint64_t>(pages),
                                    static_cast<std::uint64_t>(page_size));
    if (phys && bytes > *phys) return false;
  }
  // Each large array is written in full right after it is had, so what
  // counts is the memory still free now, after the arrays before it: a
  // request beyond it would get the run killed half way.
  // An eighth is kept back for the rest of the machine.
  const auto avail = available_memory();
  return !avail || bytes <= *avail - *avail / 8;
}

}  // namespace gaumo
