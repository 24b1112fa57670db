#include "fuzz_support.h"

#include <algorithm>
#include <cstring>

namespace gaumo::fuzz {
namespace {

/// Holds its own copy, so an output opened later under the same name
/// cannot pull the text from under a reader.
class OwnedInput final : public InputFile {
 public:
  OwnedInput(std::string text, std::size_t piece, std::size_t fail_at)
      : text_(std::move(text)), in_(text_, piece, fail_at) {}
  long read(char* buf, std::size_t n, int& err) override {
    return in_.read(buf, n, err);
  }

 private:
  std::string text_;
  PieceInput in_;
};

class MemOutput final : public OutputFile {
 public:
  MemOutput(MemFileSystem& fs, std::string path, const Fault* fault)
      : fs_(fs), path_(std::move(path)), fault_(fault) {}
  int write(const char* buf, std::size_t n) override {
    if (closed_)
      fail("write after close");
    if (fault_ != nullptr && fault_->kind == Fault::Kind::kWrite &&
        written_ + n > fault_->offset) {
      const std::size_t room = fault_->offset - written_;
      fs_.store(path_, std::string_view(buf, room));
      written_ += room;
      fs_.note_fault(path_);
      return ENOSPC;
    }
    fs_.store(path_, std::string_view(buf, n));
    written_ += n;
    return 0;
  }
  int close() override {
    if (closed_)
      fail("output closed twice");
    closed_ = true;
    if (fault_ != nullptr && fault_->kind == Fault::Kind::kClose) {
      fs_.note_fault(path_);
      return EIO;
    }
    return 0;
  }

 private:
  MemFileSystem& fs_;
  std::string path_;
  const Fault* fault_;
  std::size_t written_ = 0;
  bool closed_ = false;
};

}  // namespace

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    if (nl == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, nl));
    text.remove_prefix(nl + 1);
  }
  return lines;
}

std::vector<std::string_view> split_sections(std::string_view text,
                                             std::string_view sep) {
  std::vector<std::string_view> parts;
  for (;;) {
    const void* hit =
        ::memmem(text.data(), text.size(), sep.data(), sep.size());
    if (hit == nullptr) {
      parts.push_back(text);
      return parts;
    }
    const auto at =
        static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + sep.size());
  }
}

bool MemFileSystem::exists(const std::string& path) {
  return files_.count(path) != 0 || folders_.count(path) != 0;
}

std::vector<std::string> MemFileSystem::list_folder() {
  std::vector<std::string> names;
  for (const auto& [path, content] : files_) {
    if (path.find('/') == std::string::npos)
      names.push_back(path);
  }
  for (const auto& [path, folder] : folders_) {
    if (path.find('/') == std::string::npos)
      names.push_back(path);
  }
  return names;
}

std::unique_ptr<InputFile> MemFileSystem::open_read(const std::string& path,
                                                    int& err) {
  const int ordinal = reads_++;
  const bool hit = fault_.ordinal == ordinal;
  if (hit && fault_.kind == Fault::Kind::kOpenRead) {
    err = fault_.err;
    return nullptr;
  }
  if (folders_.count(path) != 0) {
    err = kIsADirectory;
    return nullptr;
  }
  const auto f = files_.find(path);
  if (f == files_.end()) {
    err = ENOENT;
    return nullptr;
  }
  const std::size_t fail_at = hit && fault_.kind == Fault::Kind::kRead
                                  ? fault_.offset
                                  : PieceInput::kNever;
  return std::make_unique<OwnedInput>(f->second, piece_, fail_at);
}

std::unique_ptr<OutputFile> MemFileSystem::open_write(const std::string& path,
                                                      int& err) {
  const int ordinal = writes_++;
  const bool hit = fault_.ordinal == ordinal;
  if (hit && fault_.kind == Fault::Kind::kOpenWrite) {
    note_fault(path);
    err = fault_.err;
    return nullptr;
  }
  if (folders_.count(path) != 0) {
    note_fault(path);
    err = kIsADirectory;
    return nullptr;
  }
  files_[path].clear();
  return std::make_unique<MemOutput>(*this, path, hit ? &fault_ : nullptr);
}

}  // namespace gaumo::fuzz
