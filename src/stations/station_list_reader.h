#pragma once
// Reads flow_stations.tb0 in two passes (count, then fill), allocates every
// per-station array between them, and writes nudge_flags.new during the
// second pass. A missing list gives nsta = 0 and the run goes on.

#include "run/run_options.h"
#include "stations/station_catalogue.h"
#include "run/file_system.h"
#include "run/run_log.h"

namespace gaumo {

constexpr const char* kStationListFile = "flow_stations.tb0";
constexpr const char* kNudgeFile = "nudge_flags.new";

/// The whole station-list stage. Ends the run by FatalStop on a limit,
/// allocation, open or read failure.
void read_station_list(FileSystem& fs, RunLog& log, const RunOptions& opts,
                       StationCatalogue& cat);

/// Sizes and allocates every per-station array for `nsta` stations.
void allocate_station_arrays(std::int32_t nsta, const RunOptions& opts,
                             StationCatalogue& cat);

}  // namespace gaumo
