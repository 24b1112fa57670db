#pragma once
// The steps the historical and the provisional reader share: the 512-byte
// record buffer, the identifier test, the year-range test and the time
// index. Their differences are the RecordRules below.

#include <cstddef>
#include <cstdint>

#include "flow/flow_table.h"
#include "run/file_system.h"
#include "run/run_log.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"
#include "text/fixed_text.h"

namespace gaumo {

constexpr std::size_t kRecordLength = 512;

/// The record fields both readers share; a field a record leaves empty
/// keeps the value of the last parsed record, from either reader.
struct RecordFields {
  Ident ident;
  FixedText<20> second;
  std::int16_t year = 0;
  std::int16_t month = 0;
  std::int16_t day = 0;
  float flow = kMissing;
};

enum class RecordKind {
  kHistorical,   ///< "/" becomes ",", six values, a parse failure skips the
                 ///< record, every value replaces its slot
  kProvisional,  ///< "-" becomes ",", five values, a parse failure is
                 ///< reported and the record still applied, only slots below
                 ///< zero are filled
};

/// How the record path reads; the defaults are the run's, and only tests,
/// fuzzers and benchmarks change them.
struct RecordPathTuning {
  /// Off only to compare the fast record paths with the free-form reader.
  bool fast_paths = true;
  /// Off only to test the record loop's plain value reader on a machine
  /// whose processor gives it the vector one.
  bool vector_values = true;
  /// The read size for station files; tests make it small to put line ends
  /// on block edges.
  std::size_t block_size = std::size_t{1} << 20;
};

/// Everything a station file's records go into.
struct RecordSink {
  const RunOptions& opts;
  FlowTable& table;
  RecordFields& fields;
  RunLog& log;
  /// Set while reading a station whose identifier is plain (see
  /// is_plain_identifier): records are then matched byte for byte.
  bool plain_identifier = false;
  RecordPathTuning tuning{};
};

/// What happened to one record.
enum class RecordOutcome { kIgnored, kStored, kKept, kDropped, kReported };

/// Handles one record (its first 512 bytes) of station i (1-based) whose
/// identifier is `idsta`.
RecordOutcome handle_record(std::string_view record, RecordKind kind,
                            const Ident& idsta, std::int32_t i,
                            RecordSink& sink);

/// Reads a whole station file: skips the header record, then handles every
/// record; a failed read is reported in the information file under the
/// file's 60-character name entry `fln`.
void read_station_records(InputFile& file, RecordKind kind, const FileName& fln,
                          const Ident& idsta, std::int32_t i, RecordSink& sink);

}  // namespace gaumo
