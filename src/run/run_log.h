#pragma once
// Where the run's lines go: the console, and the information file (unit 51)
// when it could be opened. Lines meant only for the information file go to
// the console when it could not, so nothing is lost.

#include <ostream>
#include <string_view>

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

 private:
  std::ostream& console_;
  OutBuffer* info_ = nullptr;
};

}  // namespace gaumo
