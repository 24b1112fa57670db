#pragma once
// Guards for the run's large allocations: a request whose byte size
// overflows, or that exceeds the machine's physical memory, is refused
// before anything is touched, so a run is never killed half way.

#include <cstdint>
#include <new>
#include <optional>
#include <vector>

namespace gaumo {

/// count x element_size in bytes, or nothing when it overflows.
std::optional<std::uint64_t> checked_bytes(std::uint64_t count,
                                           std::uint64_t element_size);

/// Whether `bytes` may be requested now: no more than the machine's
/// physical memory, nor than the memory still available.
bool fits_in_memory(std::uint64_t bytes);

/// Sets `v` to `count` default values; throws std::bad_alloc when their
/// size overflows, exceeds the machine's memory or cannot be had.
template <typename T>
void assign_checked(std::vector<T>& v, std::uint64_t count) {
  const auto bytes = checked_bytes(count, sizeof(T));
  if (!bytes || !fits_in_memory(*bytes))
    throw std::bad_alloc();
  v.assign(static_cast<std::size_t>(count), T{});
}

}  // namespace gaumo
