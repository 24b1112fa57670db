#pragma once
// The run summary: a JSON account of one run for scripts and workflow
// tools, built from plain values so it can be written at any point of a
// run, also after a stop that left nothing else behind.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gaumo {

/// Where a station's values came from.
enum class DataSource { kNone, kFile, kDatabase, kRealtime, kFileAndRealtime };

const char* data_source_name(DataSource s);

struct SummaryStation {
  std::string id;
  std::string name;
  DataSource historical = DataSource::kNone;
  DataSource provisional = DataSource::kNone;
  /// Per year from the summary's first year: days with data (up to 366 in
  /// a leap year) and, of these, days filled from provisional data.
  std::vector<std::int32_t> days;
  std::vector<std::int32_t> provisional_days;
  /// "yyyy-mm-dd", or empty without any data.
  std::string first_date;
  std::string last_date;
  /// Records reported with an "Error:  " line in the information file.
  std::int64_t error_records = 0;
};

struct RunSummary {
  std::string version;
  /// The answers as far as the run got them; none before the dialogue.
  std::optional<std::string> natural_flows;
  std::optional<std::int32_t> first_year;
  std::optional<std::int32_t> last_year;
  std::string input_folder;
  std::vector<std::string> files_written;
  int exit_status = 0;
  /// Why a fatal stop ended the run; empty after a complete run.
  std::string stop_reason;
  /// Whether the stations were read before the run ended: without them the
  /// summary says "stations": null rather than an empty list.
  bool stations_read = false;
  /// Whether the per-year days were counted before the run ended.
  bool days_counted = false;
  std::vector<SummaryStation> stations;
};

/// The JSON text, with a final newline.
std::string run_summary_json(const RunSummary& s);

}  // namespace gaumo
