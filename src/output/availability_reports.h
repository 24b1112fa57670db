#pragma once
// flow_recl.txt (days with data) and flow_flag.txt (y/p/n) per station and
// year, every year of the run on one line.

#include "flow/availability.h"
#include "run/file_system.h"
#include "run/out_buffer.h"
#include "run/run_options.h"
#include "stations/station_catalogue.h"

namespace gaumo {

void write_recl_report(OutBuffer& out, const RunOptions& opts,
                       const StationCatalogue& cat,
                       const StationAvailability& avail);
void write_flag_report(OutBuffer& out, const RunOptions& opts,
                       const StationCatalogue& cat,
                       const StationAvailability& avail);

/// Writes flow_recl.txt, then flow_flag.txt; a file that cannot be created,
/// written or closed ends the run with "Error writing " and its name.
void write_availability_reports(FileSystem& fs, const RunOptions& opts,
                                const StationCatalogue& cat,
                                const StationAvailability& avail);

}  // namespace gaumo
