#pragma once
// Buffered output to an OutputFile with as few system calls as possible.
// The first write error is kept; later writes are dropped.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "run/fatal_stop.h"
#include "run/file_system.h"

namespace gaumo {

class OutBuffer {
 public:
  explicit OutBuffer(std::unique_ptr<OutputFile> file,
                     std::size_t capacity = std::size_t{1} << 18);
  ~OutBuffer();
  OutBuffer(const OutBuffer&) = delete;
  OutBuffer& operator=(const OutBuffer&) = delete;

  void write(std::string_view s);
  /// Sends what is buffered to the file.
  void flush();
  /// Flushes and closes; returns 0 or the first error number met.
  int close();
  int error() const { return error_; }
  /// The buffer to format into directly; call commit() when it grows large.
  std::string& pending() { return buf_; }
  void commit() {
    if (buf_.size() >= capacity_)
      flush();
  }

 private:
  std::unique_ptr<OutputFile> file_;
  std::size_t capacity_;
  std::string buf_;
  int error_ = 0;
  bool closed_ = false;
};

/// Creates or replaces `name`, lets `fill` write it through a buffer and
/// closes it. A file that cannot be created, written or closed ends the run
/// with "Error writing " and its name: a failed write never passes for
/// success.
template <typename Fill>
void write_whole_file(FileSystem& fs, const std::string& name, Fill fill) {
  int err = 0;
  auto file = fs.open_write(name, err);
  if (!file)
    stop_with_message("Error writing " + name);
  OutBuffer out(std::move(file));
  fill(out);
  if (out.close() != 0)
    stop_with_message("Error writing " + name);
}

}  // namespace gaumo
