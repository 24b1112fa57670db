#include "support/memory_file_system.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace gaumo {
namespace {

using Kind = MemoryFileSystem::Fault::Kind;

/// A program that misuses an output is a finding, not a case to report.
[[noreturn]] void misuse(const char* what) {
  std::fprintf(stderr, "MemoryFileSystem: %s\n", what);
  std::abort();
}

/// Holds its own copy, so an output opened later under the same name
/// cannot pull the text from under a reader.
class OwnedInput final : public InputFile {
 public:
  OwnedInput(std::string text, std::size_t piece, std::size_t fail_at, int err)
      : text_(std::move(text)), in_(text_, piece, fail_at, err) {}
  long read(char* buf, std::size_t n, int& err) override {
    return in_.read(buf, n, err);
  }

 private:
  std::string text_;
  MemoryInputFile in_;
};

class MemoryOutput final : public OutputFile {
 public:
  /// `fault` is a write or close fault of this output, or null.
  MemoryOutput(MemoryFileSystem& fs, std::string path,
               const MemoryFileSystem::Fault* fault)
      : fs_(fs), path_(std::move(path)) {
    if (fault != nullptr)
      fault_ = *fault;
  }
  int write(const char* buf, std::size_t n) override {
    if (closed_)
      misuse("write after close");
    if (fault_ && fault_->kind == Kind::kWrite &&
        written_ + n > fault_->offset) {
      // A disk that fills up keeps what fitted.
      const std::size_t room = fault_->offset - written_;
      fs_.append(path_, std::string_view(buf, room));
      written_ += room;
      fs_.note_failed_output(path_);
      return fault_->err;
    }
    fs_.append(path_, std::string_view(buf, n));
    written_ += n;
    return 0;
  }
  int close() override {
    if (closed_)
      misuse("output closed twice");
    closed_ = true;
    if (fault_ && fault_->kind == Kind::kClose) {
      fs_.note_failed_output(path_);
      return fault_->err;
    }
    return 0;
  }

 private:
  MemoryFileSystem& fs_;
  std::string path_;
  std::optional<MemoryFileSystem::Fault> fault_;
  std::size_t written_ = 0;
  bool closed_ = false;
};

bool strikes_writing(Kind kind) {
  return kind == Kind::kOpenWrite || kind == Kind::kWrite ||
         kind == Kind::kClose;
}

}  // namespace

void MemoryFileSystem::add_file(const std::string& path, std::string content) {
  folders_.erase(path);
  files_[path] = std::move(content);
}

void MemoryFileSystem::add_folder(const std::string& path) {
  files_.erase(path);
  folders_.insert(path);
}

std::string MemoryFileSystem::content(const std::string& path) const {
  const auto it = files_.find(path);
  return it != files_.end() ? it->second : "<missing>";
}

bool MemoryFileSystem::exists(const std::string& path) {
  return files_.count(path) != 0 || folders_.count(path) != 0;
}

std::vector<std::string> MemoryFileSystem::list_folder() {
  std::vector<std::string> names;
  for (const auto& [path, content] : files_) {
    if (path.find('/') == std::string::npos)
      names.push_back(path);
  }
  for (const std::string& path : folders_) {
    if (path.find('/') == std::string::npos)
      names.push_back(path);
  }
  std::sort(names.begin(), names.end());
  return names;
}

const MemoryFileSystem::Fault* MemoryFileSystem::fault_for(
    const std::string& path, bool writing) {
  const int ordinal = writing ? writes_++ : reads_++;
  const int of_path = (writing ? path_writes_ : path_reads_)[path]++;
  for (const Fault& f : faults_) {
    if (f.kind == Kind::kNone || strikes_writing(f.kind) != writing)
      continue;
    if (f.path.empty() ? f.ordinal == ordinal
                       : f.path == path && f.ordinal == of_path)
      return &f;
  }
  return nullptr;
}

std::unique_ptr<InputFile> MemoryFileSystem::open_read(const std::string& path,
                                                       int& err) {
  const Fault* fault = fault_for(path, false);
  if (fault != nullptr && fault->kind == Kind::kOpenRead) {
    err = fault->err;
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
  if (fault != nullptr)
    return std::make_unique<OwnedInput>(f->second, piece_, fault->offset,
                                        fault->err);
  return std::make_unique<OwnedInput>(f->second, piece_,
                                      MemoryInputFile::kNever, EIO);
}

std::unique_ptr<OutputFile> MemoryFileSystem::open_write(
    const std::string& path, int& err) {
  const Fault* fault = fault_for(path, true);
  if (fault != nullptr && fault->kind == Kind::kOpenWrite) {
    note_failed_output(path);
    err = fault->err;
    return nullptr;
  }
  if (folders_.count(path) != 0) {
    note_failed_output(path);
    err = kIsADirectory;
    return nullptr;
  }
  files_[path].clear();
  return std::make_unique<MemoryOutput>(*this, path, fault);
}

}  // namespace gaumo
