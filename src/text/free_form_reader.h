#pragma once
// Free-form reading of values from text lines: blanks or commas separate
// values, an empty value leaves its target unchanged, "/" ends the read,
// quoted texts may hold separators, r*value repeats a value. A read that
// runs out of its line goes on with the next one when a line source is
// given; without one, running out is a read error.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace gaumo {

enum class TargetKind { kText, kInt16, kInt32, kReal32 };

/// One target of a read. A text target is `length` characters at `text`.
struct Target {
  TargetKind kind;
  void* ptr;
  std::size_t length = 0;

  static Target text(char* p, std::size_t n) {
    return {TargetKind::kText, p, n};
  }
  static Target int16(std::int16_t* p) { return {TargetKind::kInt16, p, 0}; }
  static Target int32(std::int32_t* p) { return {TargetKind::kInt32, p, 0}; }
  static Target real32(float* p) { return {TargetKind::kReal32, p, 0}; }
};

/// Gives the next line of a file or the console when a read goes on past
/// the end of its line. Returns false at the end of the input.
class LineSource {
 public:
  virtual ~LineSource() = default;
  virtual bool next_line(std::string_view& line) = 0;
};

enum class ReadStatus {
  kOk,          ///< every target filled, or the read ended early by "/"
  kEndOfInput,  ///< the text (or the source) ran out before the last target
  kNotANumber,  ///< a value for a number target is not a number
  kOutOfRange,  ///< a number does not fit its target
};

struct ReadResult {
  ReadStatus status = ReadStatus::kOk;
  std::size_t target_index = 0;  ///< 0-based target that failed
  std::string bad_text;          ///< the offending value (errors only)
  /// How many targets were given a value (empty values and the targets
  /// left by "/" do not count).
  std::size_t assigned = 0;
  bool ok() const { return status == ReadStatus::kOk; }
};

/// Reads `targets` in order from `line`, going on with `more` (may be null).
ReadResult read_values(std::string_view line, LineSource* more,
                       std::span<const Target> targets);

}  // namespace gaumo
