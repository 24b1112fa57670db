#pragma once
// A file system held in memory, for running the readers, the writers or the
// whole program without a disk: unit tests, fuzzers and benchmarks. It can
// hand bytes out in small pieces and be told to fail an open, a read, a
// write or a close, faults a real disk cannot be made to produce on demand.
// Nothing here touches the disk or the clock, so every run is the same.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "run/file_system.h"

namespace gaumo {

/// An input file over bytes already in memory.
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

class MemoryFileSystem final : public FileSystem {
 public:
  /// One injected failure; it strikes one open only. Opens for reading and
  /// opens for writing are counted apart, from 0, in the order the program
  /// asks for them: over all paths when `path` is empty, else the opens of
  /// `path` alone.
  struct Fault {
    enum class Kind {
      kNone,
      kOpenRead,   ///< that open_read fails with `err`
      kRead,       ///< that input fails with `err` after `offset` bytes
      kOpenWrite,  ///< that open_write fails with `err`
      kWrite,      ///< that output fails with `err` once `offset` bytes went in
      kClose,      ///< that output's close fails with `err`
    };
    Kind kind = Kind::kNone;
    std::string path = {};
    int ordinal = 0;
    std::size_t offset = 0;
    int err = EIO;
  };

  /// Reads hand out at most `piece` bytes at a time.
  explicit MemoryFileSystem(std::size_t piece = MemoryInputFile::kNever)
      : piece_(piece) {}

  /// Faults may be injected more than once; each strikes its own open.
  void inject(Fault fault) { faults_.push_back(std::move(fault)); }

  void add_file(const std::string& path, std::string content);
  /// Makes `path` a folder: it exists, and opening it fails as a folder does.
  void add_folder(const std::string& path);

  bool has_file(const std::string& path) const {
    return files_.count(path) != 0;
  }
  /// The content of a file; "<missing>" when there is none.
  std::string content(const std::string& path) const;
  /// Every file, inputs put in beforehand and outputs written since.
  const std::map<std::string, std::string>& files() const { return files_; }
  /// The first output whose open, write or close failed; empty when none.
  const std::string& first_failed_output() const { return failed_output_; }

  bool exists(const std::string& path) override;
  std::unique_ptr<InputFile> open_read(const std::string& path,
                                       int& err) override;
  std::unique_ptr<OutputFile> open_write(const std::string& path,
                                         int& err) override;
  /// The working folder's entries: every path without a '/'.
  std::vector<std::string> list_folder() override;

  /// Called by the outputs of this file system.
  void append(const std::string& path, std::string_view bytes) {
    files_[path].append(bytes);
  }
  void note_failed_output(const std::string& path) {
    if (failed_output_.empty())
      failed_output_ = path;
  }

 private:
  /// Counts an open of `path` and returns the fault that strikes it, if any;
  /// `writing` picks the kind of open.
  const Fault* fault_for(const std::string& path, bool writing);

  std::size_t piece_;
  std::map<std::string, std::string> files_;
  std::set<std::string> folders_;
  std::vector<Fault> faults_;
  int reads_ = 0;
  int writes_ = 0;
  std::map<std::string, int> path_reads_;
  std::map<std::string, int> path_writes_;
  std::string failed_output_;
};

}  // namespace gaumo
