#include "run/out_buffer.h"

namespace gaumo {

OutBuffer::OutBuffer(std::unique_ptr<OutputFile> file, std::size_t capacity)
    : file_(std::move(file)), capacity_(capacity) {
  buf_.reserve(capacity_ + 4096);
}

OutBuffer::~OutBuffer() {
  if (!closed_)
    close();
}

void OutBuffer::write(std::string_view s) {
  buf_.append(s);
  commit();
}

void OutBuffer::flush() {
  if (!buf_.empty() && error_ == 0 && file_) {
    error_ = file_->write(buf_.data(), buf_.size());
  }
  buf_.clear();
}

int OutBuffer::close() {
  if (closed_)
    return error_;
  flush();
  closed_ = true;
  if (file_) {
    const int e = file_->close();
    if (error_ == 0)
      error_ = e;
  }
  return error_;
}

}  // namespace gaumo
