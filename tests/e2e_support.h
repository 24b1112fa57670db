#pragma once
// Runs the real gaumo binary in a temporary folder tree and reads back what
// it wrote. Each Sandbox has its own parent folder, since the yearly files
// land in the parent of the working folder.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gaumo_test {

struct RunResult {
  int status = -1;  ///< exit status
  std::string out;  ///< standard output
  std::string err;  ///< standard error
};

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  /// <root>: the parent folder, where the yearly tb0 files go.
  const std::filesystem::path& parent() const { return root_; }
  /// <root>/work: the working folder the binary runs in.
  std::filesystem::path work() const { return root_ / "work"; }

  /// Writes a file in the working folder (bytes as given).
  void write(const std::string& name, std::string_view content) const;
  /// Writes a file in the parent folder.
  void write_parent(const std::string& name, std::string_view content) const;
  /// Reads a file of the working folder; "<missing>" when absent.
  std::string read(const std::string& name) const;
  /// Reads a file of the parent folder; "<missing>" when absent.
  std::string read_parent(const std::string& name) const;
  bool exists(const std::string& name) const;
  bool exists_parent(const std::string& name) const;

  /// Runs gaumo in the working folder with `input` on standard input.
  RunResult run(std::string_view input, const std::string& args = {}) const;

 private:
  std::filesystem::path root_;
};

/// The lines of a text without their line ends; a last line without one
/// counts too.
std::vector<std::string> split_lines(const std::string& s);

/// The bytes of a file, or "<missing>".
std::string read_file(const std::filesystem::path& p);

/// The console transcript with the free banner lines (3-9 and 17 of each
/// banner) replaced by "<banner>", so transcripts can be compared whole.
std::string mask_banner(const std::string& out);

/// A tb0 file with its creation stamp replaced by "YYYY-MM-DD  hh:mm".
std::string mask_creation_date(const std::string& tb0);

/// Folder of the bundled test data (tests/data).
std::filesystem::path test_data();

/// The standard start of every transcript up to and including the hint's
/// empty line, masked as by mask_banner.
std::string dialogue_transcript();

/// The closing banner and box, masked as by mask_banner.
std::string closing_transcript();

}  // namespace gaumo_test
