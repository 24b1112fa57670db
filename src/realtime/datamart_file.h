#pragma once
// The realtime service's Datamart station files
// (PP_SSSSSSS_hourly_hydrometric.csv and PP_SSSSSSS_daily_hydrometric.csv):
// a header line naming the columns, then one row per 5-minute reading with
// the station, an ISO 8601 timestamp carrying its UTC offset, and values.
// Columns are found by their names, never by position, because the service
// has added columns to its files before. Nothing here touches a file or the
// flow table: the bytes go in, readings and row errors come out.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaumo::realtime {

/// A timestamp as the file wrote it: local date and time, and the offset
/// from UTC that local time carries.
struct Stamp {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t offset_minutes = 0;  ///< east of UTC; -480 for "-08:00"

  /// Seconds since 1970-01-01T00:00:00Z.
  std::int64_t instant() const;
};

/// Parses "YYYY-MM-DDThh:mm:ss" followed by "Z" or "+hh:mm" / "-hh:mm";
/// nothing when the text is anything else or names no real time (a 30
/// February, an hour 24, an offset of 24 hours or more).
std::optional<Stamp> parse_stamp(std::string_view text);

/// Parses a discharge: [sign] digits [. [digits]] or [sign] . digits, with
/// an optional exponent ("130." is 130). Nothing for any other text, or a
/// value a 32-bit float cannot hold.
std::optional<double> parse_discharge(std::string_view text);

/// One discharge reading: the calendar day and clock hour of its own
/// timestamp, in its own offset, and the instant that timestamp names.
struct Reading {
  std::int64_t instant = 0;
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  double discharge = 0.0;
};

/// A row that could not be read: its 1-based line number and why.
struct RowError {
  std::int64_t line = 0;
  std::string reason;
};

/// Row errors kept per file; the rest are only counted.
constexpr std::size_t kKeptRowErrors = 20;

/// What one file gave.
struct FileReadings {
  /// Readings in the order of their lines (rows with an empty discharge
  /// and rows of another station give none).
  std::vector<Reading> readings;
  /// The first kKeptRowErrors errors, a header without a needed column
  /// included.
  std::vector<RowError> errors;
  /// Every error, kept or not.
  std::int64_t error_count = 0;
};

/// Reads a file line by line (line ends already taken off, a carriage
/// return before them too), so the caller decides how the bytes arrive.
class DatamartParser {
 public:
  /// `station`: the identifier whose rows are taken.
  explicit DatamartParser(std::string_view station) : station_(station) {}

  /// Line `number` (1-based) of the file; the first line is the header.
  void line(std::string_view text, std::int64_t number);
  /// Lines longer than this are reported, not read: nothing in a real
  /// file comes near, and a cut line could pass for a shorter value.
  static constexpr std::size_t kMaxLine = 4096;

  const FileReadings& result() const { return out_; }
  FileReadings take() { return std::move(out_); }

 private:
  void header(std::string_view text, std::int64_t number);
  void row(std::string_view text, std::int64_t number);
  void error(std::int64_t number, std::string reason);

  std::string station_;
  bool header_seen_ = false;
  bool columns_ok_ = false;
  std::size_t id_col_ = 0;
  std::size_t date_col_ = 0;
  std::size_t flow_col_ = 0;
  FileReadings out_;
};

/// The whole file at once: lines end in LF or CR LF, a last line without
/// one counts.
FileReadings parse_datamart(std::string_view bytes, std::string_view station);

}  // namespace gaumo::realtime
