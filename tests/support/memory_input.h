#pragma once
// An input file over bytes already in memory, for feeding the readers
// without a disk: tests, benchmarks and fuzzing. It can hand the bytes out
// in small pieces and fail part way, as a real file may.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>

#include "run/file_system.h"

namespace gaumo {

class MemoryInputFile final : public InputFile {
 public:
  static constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();

  /// Reads give at most `piece` bytes; once `fail_at` bytes have been
  /// handed out, reads fail with `err`. `text` must outlive the file.
  explicit MemoryInputFile(std::string_view text, std::size_t piece = kNever,
                           std::size_t fail_at = kNever, int err = EIO)
      : text_(text),
        piece_(std::max<std::size_t>(piece, 1)),
        fail_at_(fail_at),
        err_(err) {}

  long read(char* buf, std::size_t n, int& err) override {
    if (pos_ >= fail_at_) {
      err = err_;
      return -1;
    }
    const std::size_t k =
        std::min({n, piece_, text_.size() - pos_, fail_at_ - pos_});
    if (k > 0)
      std::memcpy(buf, text_.data() + pos_, k);
    pos_ += k;
    return static_cast<long>(k);
  }

 private:
  std::string_view text_;
  std::size_t piece_;
  std::size_t fail_at_;
  int err_;
  std::size_t pos_ = 0;
};

}  // namespace gaumo
