#pragma once
// An input file over bytes already in memory, for feeding the readers
// without a disk: benchmarks and tests.

#include <algorithm>
#include <cstring>
#include <string_view>

#include "text/file_system.h"

namespace gaumo {

class MemoryInputFile final : public InputFile {
 public:
  /// `text` must outlive the file.
  explicit MemoryInputFile(std::string_view text) : rest_(text) {}

  long read(char* buf, std::size_t n, int&) override {
    n = std::min(n, rest_.size());
    if (n > 0)
      std::memcpy(buf, rest_.data(), n);
    rest_.remove_prefix(n);
    return static_cast<long>(n);
  }

 private:
  std::string_view rest_;
};

}  // namespace gaumo
