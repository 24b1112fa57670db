#pragma once
// Reads flow_stations.tb0 in two passes (count, then fill), allocates every
// per-station array between them, and writes nudge_flags.new during the
// second pass. A missing list gives nsta = 0 and the run goes on.

#include <functional>
#include <string>

#include "run/file_system.h"
#include "run/run_log.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"

namespace gaumo {

constexpr const char* kStationListFile = "flow_stations.tb0";
constexpr const char* kNudgeFile = "nudge_flags.new";

/// What later stages hook into the station-list stage, so that it keeps
/// its order (every table allocated before nudge_flags.new is written, one
/// nudge line per row as the row is read) without knowing those stages.
struct StationListHooks {
  /// Allocates the later stages' per-station tables for `nsta` stations,
  /// in the place the allocation sequence gives them; throws
  /// std::bad_alloc when they cannot be had.
  std::function<void(std::int32_t nsta)> allocate_tables;
  /// Appends the nudge_flags.new line of station i (1-based).
  std::function<void(std::string& out, const StationCatalogue& cat,
                     std::int32_t i)>
      nudge_line;
};

/// The whole station-list stage. Ends the run by FatalStop on a limit,
/// allocation, open or read failure.
void read_station_list(FileSystem& fs, RunLog& log, StationCatalogue& cat,
                       const StationListHooks& hooks);

/// Sizes and allocates every per-station array for `nsta` stations.
void allocate_station_arrays(std::int32_t nsta, StationCatalogue& cat,
                             const StationListHooks& hooks = {});

}  // namespace gaumo
