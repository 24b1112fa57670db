#pragma once
// Pieces shared by the fuzz targets: a cursor over the fuzz input, an input
// file that hands its bytes out in small pieces, and an in-memory file
// system that can be told to fail one open, read, write or close. Nothing
// here touches the disk or the clock, so every run of an input is the same.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "run/file_system.h"
#include "support/memory_file_system.h"

namespace gaumo::fuzz {

/// Takes control bytes from the front of the input; past the end every byte
/// reads as 0, so short inputs still pick the plain case.
class ByteCursor {
 public:
  ByteCursor(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}
  std::uint8_t byte() {
    if (rest_.empty())
      return 0;
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

/// Splits `text` at every '\n'; a last piece without one is a line too.
std::vector<std::string_view> split_lines(std::string_view text);

/// Splits `text` at every occurrence of `sep` (found with memmem, which
/// libFuzzer watches, so the separator is soon learnt).
std::vector<std::string_view> split_sections(std::string_view text,
                                             std::string_view sep);

/// Stops the process with a message: a broken property is a finding.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

/// The fuzzers' input files: at most `piece` bytes per read, failing with
/// EIO once `fail_at` bytes have been handed out.
using PieceInput = MemoryInputFile;

/// One injected failure of MemFileSystem. Opens are counted separately for
/// reading and writing, from 0, in the order the program asks for them.
struct Fault {
  enum class Kind {
    kNone,
    kOpenWrite,  ///< the open_write numbered `ordinal` fails with `err`
    kWrite,      ///< that output fails with ENOSPC once `offset` bytes went in
    kClose,      ///< that output's close fails with EIO
    kOpenRead,   ///< the open_read numbered `ordinal` fails with `err`
    kRead,       ///< that input fails with EIO after `offset` bytes
  };
  Kind kind = Kind::kNone;
  int ordinal = 0;
  std::size_t offset = 0;
  int err = EIO;
};

/// A file system held in memory. Inputs are the files put in beforehand;
/// outputs replace them. Reads are handed out in pieces of `piece` bytes.
class MemFileSystem final : public FileSystem {
 public:
  explicit MemFileSystem(Fault fault = {}, std::size_t piece = 4096)
      : fault_(fault), piece_(piece) {}

  void put(const std::string& path, std::string content) {
    files_[path] = std::move(content);
  }
  /// Makes `path` a folder: it exists, and opening it fails as a folder does.
  void put_folder(const std::string& path) { folders_[path] = true; }

  bool exists(const std::string& path) override;
  std::unique_ptr<InputFile> open_read(const std::string& path,
                                       int& err) override;
  std::unique_ptr<OutputFile> open_write(const std::string& path,
                                         int& err) override;
  /// The working folder's entries: every path without a '/'.
  std::vector<std::string> list_folder() override;

  const std::map<std::string, std::string>& files() const { return files_; }
  /// The output path the injected fault hit, or empty when it never fired.
  const std::string& fault_hit() const { return fault_hit_; }
  int writes_opened() const { return writes_; }

  /// Called by the files of this file system.
  void store(const std::string& path, std::string_view bytes) {
    files_[path].append(bytes);
  }
  void note_fault(const std::string& path) {
    if (fault_hit_.empty())
      fault_hit_ = path;
  }

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, bool> folders_;
  Fault fault_;
  std::size_t piece_;
  int reads_ = 0;
  int writes_ = 0;
  std::string fault_hit_;
};

}  // namespace gaumo::fuzz
