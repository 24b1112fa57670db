#pragma once
// The yearly EnSim tb0 streamflow files: one per year of the run, named by
// the year followed by "0101_str.tb0", written into the parent folder.

#include <cstdint>
#include <string>
#include <vector>

#include "flow/flow_table.h"
#include "output/column_metadata.h"
#include "run/clock.h"
#include "run/file_system.h"
#include "run/out_buffer.h"
#include "run/run_log.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"
#include "text/fixed_text.h"

namespace gaumo {

/// The run-wide constants of every tb0 header, fixed before the stages run.
struct HeaderConstants {
  FixedText<10> coordsys;
  FixedText<30> source_file;
  FixedText<40> written_by;
  FixedText<40> data_name;
  FixedText<10> ellipsoid;
  FixedText<10> start_time;
  float attribute_units = 0.0f;
};

/// The constants this program writes into every header.
HeaderConstants header_constants();

/// The parent-folder prefix ("../", or "..\" on Windows), the year in
/// exactly 4 characters, then "0101_str.tb0".
std::string tb0_file_name(std::int64_t year);

/// The 40 header lines and metadata rows of a file for `year` (no data):
/// the lines up to ":ColumnMetaData", which depend on the year and stamp,
/// then the column metadata, which depend only on the stations.
std::string tb0_header(const HeaderConstants& hc, const StationCatalogue& cat,
                       const ColumnMetadata& columns, std::int64_t year,
                       const LocalTime& stamp);
std::string tb0_header_lines(const HeaderConstants& hc, std::int64_t year,
                             const LocalTime& stamp);
std::string tb0_column_metadata(const StationCatalogue& cat,
                                const ColumnMetadata& columns);

/// The daily rows of one year of every station, as the yearly files carry
/// them; keeps its buffers from one year to the next.
class YearRows {
 public:
  YearRows(const StationCatalogue& cat, const FlowTable& table);
  /// Writes the days_in_year(year) rows of year index n (1-based).
  void write(OutBuffer& out, std::int64_t year, std::int64_t n);

 private:
  static constexpr std::int32_t kDaysAtOnce = 16;
  const FlowTable& table_;
  std::vector<const float*> columns_;
  std::vector<float> day_values_;
};

/// Writes one file per year from start_year to end_year. Ends the run when a
/// file cannot be opened ("in write_r2c @ 83") or written.
void write_yearly_tb0(FileSystem& fs, RunLog& log, const RunOptions& opts,
                      const HeaderConstants& hc, const StationCatalogue& cat,
                      const ColumnMetadata& columns, const FlowTable& table,
                      const Clock& clock);

}  // namespace gaumo
