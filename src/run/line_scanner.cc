#include "run/line_scanner.h"

#include <algorithm>
#include <cstring>

namespace gaumo {

LineScanner::LineScanner(InputFile& file, std::size_t max_keep,
                         std::size_t block_size)
    : file_(file),
      max_keep_(max_keep),
      buf_size_(std::max<std::size_t>(block_size, 1)),
      // Left unfilled: every byte is read into before it is looked at.
      buf_(new char[buf_size_]) {}

bool LineScanner::refill(int& err) {
  const long r = file_.read(buf_.get(), buf_size_, err);
  if (r < 0)
    return false;
  pos_ = 0;
  len_ = static_cast<std::size_t>(r);
  if (r == 0)
    eof_ = true;
  return true;
}

void LineScanner::keep(const char* p, std::size_t n) {
  if (n == 0)
    return;
  // One byte past the cut is kept to tell a final carriage return apart.
  const std::size_t room_limit =
      max_keep_ == std::numeric_limits<std::size_t>::max() ? max_keep_
                                                           : max_keep_ + 1;
  if (carry_.size() < room_limit) {
    carry_.append(p, std::min(n, room_limit - carry_.size()));
  }
  full_len_ += n;
  last_char_ = p[n - 1];
}

LineScanner::Status LineScanner::next(std::string_view& line, int& err) {
  if (failed_)
    return Status::kEnd;
  carry_.clear();
  full_len_ = 0;
  last_char_ = 0;
  bool started = false;
  for (;;) {
    if (pos_ == len_) {
      if (eof_) {
        if (!started)
          return Status::kEnd;
        break;
      }
      if (!refill(err)) {
        failed_ = true;
        ++line_number_;
        line = std::string_view(carry_).substr(
            0, std::min(carry_.size(), max_keep_));
        return Status::kError;
      }
      continue;
    }
    const char* begin = buf_.get() + pos_;
    const std::size_t avail = len_ - pos_;
    const char* nl = static_cast<const char*>(std::memchr(begin, '\n', avail));
    if (nl == nullptr) {
      keep(begin, avail);
      pos_ = len_;
      started = true;
      continue;
    }
    const auto seg = static_cast<std::size_t>(nl - begin);
    pos_ += seg + 1;
    if (!started) {
      // The whole line lies in the buffer: hand it out without a copy.
      std::size_t n = seg;
      if (n > 0 && begin[n - 1] == '\r')
        --n;
      ++line_number_;
      line = std::string_view(begin, std::min(n, max_keep_));
      return Status::kLine;
    }
    keep(begin, seg);
    break;
  }
  std::size_t n = full_len_;
  if (n > 0 && last_char_ == '\r')
    --n;
  n = std::min({n, max_keep_, carry_.size()});
  ++line_number_;
  line = std::string_view(carry_.data(), n);
  return Status::kLine;
}

}  // namespace gaumo
