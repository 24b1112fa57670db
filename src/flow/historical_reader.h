#pragma once
// The historical daily flow files <identifier>_Daily_Flow_ts.csv: every
// value of the run's years goes into the flow table, replacing what the
// slot held.

#include <vector>

#include "flow/record_reader.h"

namespace gaumo {

/// Station i's historical file: its identifier, then "_Daily_Flow_ts.csv",
/// as a 60-character name.
FileName historical_file_name(const StationCatalogue& cat, std::int32_t i);

/// Reads every station's historical file into the table; a missing file is
/// reported and skipped, one that exists but cannot be opened ends the run.
/// Returns, per station (element i - 1), 1 when its file was there.
std::vector<char> read_historical_flows(FileSystem& fs,
                                        const StationCatalogue& cat,
                                        RecordSink& sink);

/// The unit number of station i's flow files.
constexpr std::int32_t station_unit(std::int32_t i) { return 100 + i; }

}  // namespace gaumo
