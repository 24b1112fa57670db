#pragma once
// An in-memory file system for running the whole program in-process, with
// faults a real disk cannot be made to produce on demand: a read that fails
// half way through a file, an open that fails only the second time, a write
// or a close that fails.

#include <map>
#include <string>
#include <vector>

#include "app/run.h"
#include "run/file_system.h"

namespace gaumo_test {

/// Faults injected for one path; 0 (or -1 for read_fails_at) means none.
struct Fault {
  int open_errno = 0;
  /// Opens that succeed before open_errno applies (1: the second fails).
  int opens_before_failure = 0;
  /// Reads deliver this many bytes, then fail with read_errno.
  long read_fails_at = -1;
  int read_errno = 0;
  int write_errno = 0;
  int close_errno = 0;
};

class FakeFileSystem final : public gaumo::FileSystem {
 public:
  void add_file(const std::string& path, std::string content);
  void add_folder(const std::string& path);
  void inject(const std::string& path, const Fault& fault);

  bool has_file(const std::string& path) const;
  /// The content of a file; "<missing>" when there is none.
  std::string content(const std::string& path) const;

  bool exists(const std::string& path) override;
  std::unique_ptr<gaumo::InputFile> open_read(const std::string& path,
                                              int& err) override;
  std::unique_ptr<gaumo::OutputFile> open_write(const std::string& path,
                                                int& err) override;
  /// The working folder's entries: every path without a '/'.
  std::vector<std::string> list_folder() override;

 private:
  struct Node {
    bool folder = false;
    std::string data;
  };
  /// The errno an open of `path` fails with, or 0; counts the open.
  int open_fault(const std::string& path);

  std::map<std::string, Node> nodes_;
  std::map<std::string, Fault> faults_;
  std::map<std::string, int> opens_;
};

struct InProcessResult {
  int status = -1;
  std::string out;
};

/// Runs the whole program on `fs` with `input` as the console answers and a
/// clock that always reads 2021-07-09 08:05.
InProcessResult run_in_process(FakeFileSystem& fs, const std::string& input);

}  // namespace gaumo_test
