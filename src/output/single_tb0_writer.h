#pragma once
// One tb0 file covering every year of the run, for models that read the
// whole simulation period from a single streamflow file: the header and
// column metadata of the yearly files, then their rows, year after year.

#include <cstdint>
#include <string>

#include "output/column_metadata.h"
#include "output/tb0_writer.h"
#include "run/clock.h"

namespace gaumo {

/// Some tb0 readers cut header lines at 5000 characters without a word; a
/// metadata row of a 20-character keyword and 12 characters per station
/// reaches that with this many stations.
constexpr std::int32_t kHeaderLineLimit = 5000;
constexpr std::int32_t kStationsWithinHeaderLimit = 415;

/// Writes the file at `path` (relative to the working folder), with its
/// start date the first day of the first year. Ends the run with "Error
/// writing " and the path when it cannot be written. Past 415 stations,
/// one warning line follows on the console and in the information file.
void write_single_tb0(FileSystem& fs, RunLog& log, const std::string& path,
                      const RunOptions& opts, const HeaderConstants& hc,
                      const StationCatalogue& cat,
                      const ColumnMetadata& columns, const FlowTable& table,
                      const Clock& clock);

/// The warning line (with its newline) for a file with `stations` columns.
std::string wide_header_warning(const std::string& path, std::int32_t stations);

}  // namespace gaumo
