#pragma once
// Where the run's lines go: the console, and the information file (unit 51)
// when it could be opened. Lines meant only for the information file go to
// the console when it could not, so nothing is lost.

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "run/out_buffer.h"

namespace gaumo {

class RunLog {
 public:
  explicit RunLog(std::ostream& console) : console_(console) {}

  void set_info_file(OutBuffer* info) { info_ = info; }
  bool has_info_file() const { return info_ != nullptr; }

  /// A finished line (with its newline) on the console.
  void console(std::string_view line) { console_ << line; }
  /// A line for the information file only.
  void info(std::string_view line) {
    if (info_ != nullptr) {
      info_->write(line);
    } else {
      console_ << line;
    }
  }
  /// A line for the information file, then the same line on the console.
  void both(std::string_view line) {
    if (info_ != nullptr)
      info_->write(line);
    console_ << line;
  }
  std::ostream& console_stream() { return console_; }

  /// An "Error:  " line for `records` records of station i (1-based), for
  /// the information file; counted per station when a tally is kept.
  void record_error(std::int32_t i, std::string_view line,
                    std::int64_t records = 1) {
    info(line);
    if (errors_ != nullptr && i >= 1) {
      const auto k = static_cast<std::size_t>(i - 1);
      if (errors_->size() <= k)
        errors_->resize(k + 1);
      (*errors_)[k] += records;
    }
  }
  /// Keeps the count of error lines per station (element i - 1) in `t`.
  void set_error_tally(std::vector<std::int64_t>* t) { errors_ = t; }

 private:
  std::ostream& console_;
  OutBuffer* info_ = nullptr;
  std::vector<std::int64_t>* errors_ = nullptr;
};

}  // namespace gaumo
