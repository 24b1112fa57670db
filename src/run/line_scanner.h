#pragma once
// Splits a file into lines through one fixed block buffer, so memory does
// not grow with the length of a file. A carriage return right before a line
// end (or the end of the file) is not part of the line; a last line without
// a newline is a line.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "run/file_system.h"

namespace gaumo {

class LineScanner {
 public:
  enum class Status { kLine, kEnd, kError };

  /// Lines are cut to their first `max_keep` characters; the rest is skipped
  /// without being stored.
  explicit LineScanner(
      InputFile& file,
      std::size_t max_keep = std::numeric_limits<std::size_t>::max(),
      std::size_t block_size = std::size_t{1} << 20);

  /// The next line, valid until the next call. On kError `line` holds what
  /// was read of the line before the failure and `err` the error number;
  /// the file then counts as ended, as repeating a failed read gains
  /// nothing and could loop for ever.
  Status next(std::string_view& line, int& err);

  /// The bytes already read past the last line handed out: lines a caller
  /// may take straight from the block, then pass over with skip().
  std::string_view buffered() const {
    return std::string_view(buf_.get() + pos_, len_ - pos_);
  }
  /// Passes over the first n bytes of buffered(), `lines` whole lines.
  void skip(std::size_t n, std::int64_t lines) {
    pos_ += std::min(n, len_ - pos_);
    line_number_ += lines;
  }

  /// 1-based number of the line last returned.
  std::int64_t line_number() const { return line_number_; }

 private:
  bool refill(int& err);
  void keep(const char* p, std::size_t n);

  InputFile& file_;
  std::size_t max_keep_;
  std::size_t buf_size_;
  std::unique_ptr<char[]> buf_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  std::string carry_;
  std::size_t full_len_ = 0;
  char last_char_ = 0;
  std::int64_t line_number_ = 0;
};

}  // namespace gaumo
