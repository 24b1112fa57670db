#pragma once
// The run's access to files, behind an interface so that tests can hand in
// a fake one and reach failures a real disk cannot produce. Paths are
// relative to the run's working folder. Errors are system error numbers.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace gaumo {

/// A folder opened as a file reports this status, the POSIX "is a
/// directory", on every system.
constexpr int kIsADirectory = 21;

class InputFile {
 public:
  virtual ~InputFile() = default;
  /// Reads up to n bytes; returns the count (0 at the end) or -1 with `err`.
  virtual long read(char* buf, std::size_t n, int& err) = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  /// Writes all n bytes; returns 0 or the error number.
  virtual int write(const char* buf, std::size_t n) = 0;
  /// Closes the file; returns 0 or the error number. Called once.
  virtual int close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// Whether something of that name exists (a folder counts).
  virtual bool exists(const std::string& path) = 0;
  /// Opens an existing file; null with `err` set on failure (a folder
  /// gives kIsADirectory).
  virtual std::unique_ptr<InputFile> open_read(const std::string& path,
                                               int& err) = 0;
  /// Creates or truncates a file; null with `err` set on failure.
  virtual std::unique_ptr<OutputFile> open_write(const std::string& path,
                                                 int& err) = 0;
  /// The names of the entries of the working folder, in no particular
  /// order; nothing when it cannot be listed. For the optional files found
  /// by a pattern rather than by one name.
  virtual std::vector<std::string> list_folder() = 0;
};

}  // namespace gaumo
