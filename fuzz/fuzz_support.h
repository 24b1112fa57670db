#pragma once
// Pieces shared by the fuzz targets: a cursor over the fuzz input, the ways
// to cut it up, and the stop for a broken property. Their files and folders
// are held in memory by tests/support/memory_file_system.h.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

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

}  // namespace gaumo::fuzz
